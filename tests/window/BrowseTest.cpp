// The browse button: the dialog it opens, and what a chosen or cancelled file does to the
// path box and the working folder.
#include <QLineEdit>
#include <QPushButton>

#include "model/ProblemModel.h"
#include "shell/qt/ChooseFile.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using BrowseTest = WindowTest;

TEST_F(BrowseTest, AChosenFileSetsTheFolderAndTheBareName) {
    WriteSettings("WorkDir=/home/ana/data/\r\n");
    Open();
    Control<QLineEdit>("txtFile")->setText("old.txt");
    dialogs_.ChosenFiles.push_back(QString("/srv/exp/run 1/exp1.txt"));
    Control<QPushButton>("cmdBrowse")->click();

    ASSERT_EQ(dialogs_.FileDialogs.size(), 1u);
    const RecordedFileDialog& shown = dialogs_.FileDialogs.front();
    EXPECT_EQ(shown.Owner, form_.get());
    EXPECT_EQ(shown.Title, "Choose data file");
    EXPECT_EQ(shown.StartFolder, "/home/ana/data");
    EXPECT_EQ(shown.FileName, "old.txt");
    EXPECT_EQ(shown.Filters,
              QStringList({"Data files (*.txt *.xls *.xlsx *.ods)", "All files (*)"}));

    EXPECT_EQ(Model().WorkFolder, "/srv/exp/run 1/");
    EXPECT_EQ(Control<QLineEdit>("txtFile")->text(), "exp1.txt");
    EXPECT_TRUE(dialogs_.Messages.empty());
}

TEST_F(BrowseTest, CancellingChangesNothing) {
    WriteSettings("WorkDir=/home/ana/data/\r\n");
    Open();
    Control<QLineEdit>("txtFile")->setText("old.txt");
    Control<QPushButton>("cmdBrowse")->click();  // no file given: cancelled
    EXPECT_EQ(dialogs_.FileDialogs.size(), 1u);
    EXPECT_EQ(Model().WorkFolder, "/home/ana/data/");
    EXPECT_EQ(Control<QLineEdit>("txtFile")->text(), "old.txt");
}

TEST_F(BrowseTest, TheChooserBelongsToTheMainWindowWhenGivenNoOwner) {
    Open();
    std::string folder = "/keep/";
    std::string name = "keep.txt";
    dialogs_.ChosenFiles.push_back(QString("/srv/"));  // a folder, not a file
    EXPECT_FALSE(qt::ChooseFile("T", "Data files", "*.txt", folder, name, nullptr));
    ASSERT_EQ(dialogs_.FileDialogs.size(), 1u);
    EXPECT_EQ(dialogs_.FileDialogs.front().Owner, form_.get());
    EXPECT_EQ(folder, "/keep/");
    EXPECT_EQ(name, "keep.txt");
}

}  // namespace
}  // namespace varsel::test
