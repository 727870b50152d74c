// The window with the real engine on a shipped example, as a user would run it: Browse to a
// copy of the example, press the start button, read "Results are saved" and find the results
// in the file; and the same with the series example, whose results view opens beside.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <tuple>

#include "shell/qt/SeriesView.h"
#include "support/TempFolder.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

std::string Example(const std::string& name) {
    return FileBytes(std::filesystem::path(VARSEL_EXAMPLES_DIR) / name);
}

using ExampleRunTest = WindowTest;

TEST_F(ExampleRunTest, ChosenExampleRunsToResultsSavedWithAnEmptyStatus) {
    const std::string original = Example("quartz.txt");
    ASSERT_FALSE(original.empty());
    const auto copy = folder_.Write("quartz.txt", original);
    Open();
    dialogs_.ChosenFiles.push_back(QString::fromStdString(copy.string()));
    Control<QPushButton>("cmdBrowse")->click();
    ASSERT_EQ(Control<QLineEdit>("txtFile")->text(), "quartz.txt");

    Control<QPushButton>("cmdStart")->click();
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    EXPECT_EQ(
        std::tuple(dialogs_.Messages[0].Text, dialogs_.Messages[0].Icon,
                   Control<QLabel>("Status")->text(), Control<QPushButton>("cmdStart")->isHidden(),
                   Control<QLineEdit>("txtFile")->isEnabled()),
        std::tuple("Results are saved  ", MessageIcon::Information, "", false, true));
    EXPECT_NE(folder_.Read("quartz.txt"), original) << "results written into the copy";
    ASSERT_EQ(form_->LastSummary().Species.size(), 1u);
    EXPECT_GT(form_->LastSummary().Species[0].HalfWidth, 0.0)
        << "the free species got its half-width";

    EXPECT_TRUE(form_->close());
    EXPECT_EQ(SettingsBytes(), "WorkDir=" + folder_.AsWorkFolder() + "\r\n");
}

TEST_F(ExampleRunTest, ChosenSeriesFileRunsTheSeriesAndOpensItsView) {
    const std::filesystem::path examples =
        std::filesystem::path(VARSEL_EXAMPLES_DIR) / "agcl-series";
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() == ".txt") {
            folder_.Write(entry.path().filename().string(), FileBytes(entry.path()));
        }
    }
    Open();
    dialogs_.ChosenFiles.push_back(
        QString::fromStdString((folder_.Path() / "agcl-series.txt").string()));
    Control<QPushButton>("cmdBrowse")->click();
    Control<QPushButton>("cmdStart")->click();
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    EXPECT_EQ(dialogs_.Messages[0].Icon, MessageIcon::Information)
        << dialogs_.Messages[0].Text.toStdString();
    EXPECT_FALSE(folder_.Read("agcl-fit.vdb").empty());
    EXPECT_EQ(
        std::tuple(Control<QLabel>("Status")->text(), Control<QPushButton>("cmdStart")->isHidden(),
                   Control<QLineEdit>("txtFile")->isEnabled()),
        std::tuple("", false, true));
    EXPECT_EQ(form_->findChildren<qt::SeriesView*>().size(), 1);
}

}  // namespace
}  // namespace varsel::test
