// The window with the real engine and the test office, as a user would run a workbook: Browse
// to it, press the start button, read "Results are saved" and find the results in the open
// workbook; then an empty path box takes the name of the active workbook.
#include <QLineEdit>
#include <QPushButton>

#include "OfficeProbe.h"
#include "engine/EngineFactory.h"
#include "model/ProblemModel.h"
#include "services/Platform.h"
#include "shell/RunSequence.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using CalcWindowTest = WindowTest;

TEST_F(CalcWindowTest, AWorkbookRunsFromTheStartButton) {
    OfficeProbe probe;
    engine::EngineFactory engine;
    const auto connector = MakeCalcConnector(OfficeOptions());
    const auto file = folder_.Path() / "nacl.ods";
    probe.MakeWorkbook(
        file, {TypedRows(FileBytes(std::filesystem::path(VARSEL_EXAMPLES_DIR) / "nacl.txt"))});
    const std::string bytes = FileBytes(file);

    Open(RunSequence);
    ThePlatform().Engine = &engine;
    ThePlatform().Spreadsheet = connector.get();
    dialogs_.ChosenFiles.push_back(QString::fromStdString(file.string()));
    Control<QPushButton>("cmdBrowse")->click();
    ASSERT_EQ(Control<QLineEdit>("txtFile")->text(), "nacl.ods");
    Control<QPushButton>("cmdStart")->click();

    ASSERT_EQ(dialogs_.Messages.size(), 1u) << Model().StatusText;
    EXPECT_EQ(dialogs_.Messages[0].Text, "Results are saved  ");
    EXPECT_FALSE(Control<QPushButton>("cmdStart")->isHidden());
    EXPECT_FALSE(Model().ExcelApp) << "the run let go of the office";
    EXPECT_EQ(FileBytes(file), bytes) << "the workbook is not saved";
    const auto sheet = probe.Sheet(file, 0);
    EXPECT_TRUE(ContentOf(sheet, 10, 4).Number) << "the fitted NaCl,aq";
    EXPECT_TRUE(ContentOf(sheet, 10, 5).Number) << "its half-width";
    EXPECT_TRUE(probe.InputEnabled(file));
    EXPECT_FALSE(probe.ProgressShown(file));

    Control<QLineEdit>("txtFile")->clear();
    Control<QPushButton>("cmdStart")->click();
    EXPECT_EQ(Control<QLineEdit>("txtFile")->text(), "nacl.ods");
    EXPECT_EQ(dialogs_.Messages.size(), 1u) << "the empty path stops without a word";
    probe.CloseAll();
}

}  // namespace
}  // namespace varsel::test
