// The browse button: the dialog it opens, and what a chosen file, a cancelled dialog or a
// chosen folder does to the path box and the working folder, which closing the window saves.
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <tuple>

#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using BrowseTest = WindowTest;

TEST_F(BrowseTest, AChosenFileSetsTheFolderAndTheBareNameAndNothingElseDoes) {
    WriteSettings("WorkDir=/home/ana/data/\r\n");
    Open();
    Control<QLineEdit>("txtFile")->setText("old.txt");
    // Cancelled, then a folder instead of a file: neither changes anything.
    dialogs_.ChosenFiles = {std::nullopt, QString("/srv/")};
    for (int i = 0; i < 2; ++i) {
        Control<QPushButton>("cmdBrowse")->click();
        EXPECT_EQ(std::tuple(form_->WorkFolder(), Control<QLineEdit>("txtFile")->text()),
                  std::tuple("/home/ana/data/", "old.txt"));
    }
    dialogs_.ChosenFiles.push_back(QString("/srv/exp/run 1/exp1.txt"));
    Control<QPushButton>("cmdBrowse")->click();

    ASSERT_EQ(dialogs_.FileDialogs.size(), 3u);
    const RecordedFileDialog& shown = dialogs_.FileDialogs.back();
    EXPECT_EQ(
        std::tuple(shown.Owner, shown.Title, shown.StartFolder, shown.FileName, shown.Filters),
        std::tuple(form_.get(), "Choose data file", "/home/ana/data", "old.txt",
                   QStringList({"Data files (*.txt *.xls *.xlsx *.ods)", "All files (*)"})));
    EXPECT_EQ(std::tuple(form_->WorkFolder(), Control<QLineEdit>("txtFile")->text()),
              std::tuple("/srv/exp/run 1/", "exp1.txt"));
    EXPECT_TRUE(dialogs_.Messages.empty());

    // Closing saves the folder, but not through a link someone put in the settings file's place.
    const std::filesystem::path settings = folder_.Path() / kSettingsFileName;
    std::filesystem::remove(settings);
    std::filesystem::create_symlink(folder_.Write("victim", "precious"), settings);
    EXPECT_TRUE(form_->close());
    EXPECT_EQ(std::tuple(std::filesystem::is_symlink(settings), folder_.Read("victim")),
              std::tuple(true, "precious"));
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    EXPECT_EQ(dialogs_.Messages[0].Text.toStdString(),
              "The settings are not saved: " + settings.string() +
                  " is a symbolic link, which Varsel does not follow.  ");
}

}  // namespace
}  // namespace varsel::test
