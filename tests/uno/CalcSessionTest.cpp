// What a fit does to the office's user interface, and that the user always gets it back: the
// status indicator and the input lock while the run holds them (a fit that fails, and a
// program killed during a fit, are run whole in the run tests); the status bar setting; many
// connections in one program; and the record of the locks of programs that died.
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "OfficeTest.h"
#include "model/RuntimeFailure.h"
#include "services/uno/InputLockRecord.h"

namespace varsel::test {
namespace {

using SessionTest = OfficeTest;

const SheetRows kData = {{"Species:", "1"}, {"", "Na+", "-261.9", "", "0.5"}, {"Mean err.:"}};

TEST_F(SessionTest, StatusIndicatorAndInputLockHoldUntilReleased) {
    const auto file = Workbook("fit.ods", kData);
    ASSERT_EQ(OpenSource("fit.ods"), 0);
    auto& app = *m.ExcelApp;
    EXPECT_TRUE(probe.InputEnabled(file));
    EXPECT_FALSE(probe.ProgressShown(file));

    const bool shown = app.DisplayStatusBar();
    EXPECT_TRUE(shown);
    app.SetStatusBar("Optimizing...");
    app.SetInteractive(false);
    EXPECT_TRUE(probe.ProgressShown(file));
    EXPECT_FALSE(probe.InputEnabled(file));
    app.SetStatusBar("Iteration:1");
    EXPECT_TRUE(probe.ProgressShown(file));

    // The end of a fit, in the order the optimiser uses.
    app.SetScreenUpdating(true);
    app.SetInteractive(true);
    app.ResetStatusBar();
    app.SetDisplayStatusBar(shown);
    EXPECT_TRUE(probe.InputEnabled(file));
    EXPECT_FALSE(probe.ProgressShown(file));
    EXPECT_TRUE(probe.StatusBarShown(file));

    app.SetDisplayStatusBar(false);
    EXPECT_FALSE(probe.StatusBarShown(file));
    EXPECT_FALSE(app.DisplayStatusBar());
    app.SetDisplayStatusBar(true);
    EXPECT_TRUE(probe.StatusBarShown(file));
}

TEST_F(SessionTest, OneProgramSurvivesManyConnectionsToTheSameOffice) {
    // The window runs one workbook after another in one process, and each run connects anew;
    // the office closing a connection the program has let go of must not end the program.
    for (int run = 1; run <= 20; ++run) {
        SCOPED_TRACE(run);
        OfficeProbe own;
        const auto again = MakeCalcConnector(OfficeOptions());
        context.Spreadsheet = again.get();
        const auto file = folder.Path() / ("run" + std::to_string(run % 3) + ".ods");
        if (run <= 3) own.MakeWorkbook(file, {kData});
        ASSERT_EQ(OpenSource(file.filename().string()), 0);
        source->NextRowCell();
        EXPECT_EQ(source->CurrentCell(), "Species:");
        WriteCell(context, 2, 4, static_cast<float>(run));
        m.ExcelApp->SetStatusBar("Optimizing...");
        EXPECT_EQ(Value(own.Sheet(file, 0), 2, 4), run);
        source.reset();
        m = ProblemModel();
        m.WorkFolder = folder.AsWorkFolder();
        if (run % 2 == 0) own.CloseAll();
    }
    // Writing to a closed socket gives an error, not the signal that ends a process.
    struct sigaction pipe {};
    ASSERT_EQ(sigaction(SIGPIPE, nullptr, &pipe), 0);
    EXPECT_EQ(pipe.sa_handler, SIG_IGN);
}

TEST(InputLockRecordTest, OnlyTheLocksOfEndedProgramsAreOrphansAndLinksAreLeftAlone) {
    TempFolder folder;
    const calc::InputLockRecord record((folder.Path() / "locks").string());
    const auto victim = folder.Write("victim", "precious");
    for (const char* link : {"locks.new", ".varsel-aB3xZ9"})  // the old and a temporary's name
        std::filesystem::create_symlink(victim, folder.Path() / link);
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    waitpid(ended, nullptr, 0);

    record.Add(getpid(), "file:///a.ods");
    record.Add(ended, "file:///b.ods");
    record.Add(ended, "file:///b.ods");
    record.Add(ended, "file:///c d.ods");
    EXPECT_EQ(record.TakeOrphans(), (std::vector<std::string>{"file:///b.ods", "file:///c d.ods"}));
    EXPECT_TRUE(record.TakeOrphans().empty()) << "taken once";
    record.Remove(getpid(), "file:///a.ods");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "locks"));

    // A link in the record's place is no record: the lock goes on without one.
    std::filesystem::create_symlink(victim, folder.Path() / "locks");
    record.Add(ended, "file:///b.ods");
    EXPECT_TRUE(record.TakeOrphans().empty());
    for (const char* link : {"locks", "locks.new", ".varsel-aB3xZ9"})
        EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / link)) << link;
    EXPECT_EQ(FileBytes(victim), "precious");
}

}  // namespace
}  // namespace varsel::test
