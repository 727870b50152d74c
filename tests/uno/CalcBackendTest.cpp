// Reaching the office and its workbooks: attaching, asking a running office to listen,
// starting one, the quiet stop of the empty path, finding an open workbook by name without
// opening it twice, names taken from the file, the active or first sheet, and workbooks that
// cannot be opened (the three workbook formats are run whole in the run tests).
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <thread>

#include "OfficeTest.h"
#include "model/RuntimeFailure.h"
#include "services/uno/OfficeProcesses.h"
#include "services/uno/UnoBridge.h"

namespace varsel::test {
namespace {

const SheetRows kSmall = {{"title", "", "3.5"}, {"", "second row"}};

// Removes an environment variable for the lifetime of the object.
class WithoutVariable {
  public:
    explicit WithoutVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) previous_ = value;
        unsetenv(name);
    }
    ~WithoutVariable() {
        if (previous_) setenv(name_, previous_->c_str(), 1);
    }

  private:
    const char* name_;
    std::optional<std::string> previous_;
};

void WaitUntilGone(pid_t pid) {
    for (int i = 0; i < 200 && calc::ProcessAlive(pid); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

using ConnectorTest = OfficeTest;

TEST_F(ConnectorTest, AttachListsTheOpenWorkbooksAndTheActiveOne) {
    const auto first = Workbook("first.ods", kSmall);
    const auto second = Workbook("second.xls", kSmall);
    probe.Open(first);
    probe.Open(second);
    probe.Activate(first);

    const auto app = connector->Attach();
    ASSERT_TRUE(app);
    ASSERT_EQ(app->WorkbookCount(), 2);
    std::set<std::string> names;
    for (int i = 1; i <= 2; ++i)
        names.insert(app->Workbook(i)->Name());
    EXPECT_EQ(names, (std::set<std::string>{"first.ods", "second.xls"}));
    ASSERT_TRUE(app->ActiveWorkbook());
    EXPECT_EQ(app->ActiveWorkbook()->Name(), "first.ods");
    for (int index : {0, 3}) {
        try {
            app->Workbook(index);
            ADD_FAILURE() << "workbook " << index << " must not exist";
        } catch (const RuntimeFailure& failure) {
            EXPECT_EQ(failure.Number(), kSubscriptOutOfRange);
        }
    }
}

TEST_F(ConnectorTest, WithoutAnOfficeNothingIsAttachedAndNothingStarted) {
    CalcOptions options = OfficeOptions();
    options.PipeName = std::string(VARSEL_TEST_CALC_PIPE) + "_nobody";
    options.UserInstallation = "file://" + (folder.Path() / "unused-profile").string();
    options.ForwardTimeoutMs = 500;
    auto absent = MakeCalcConnector(options);
    EXPECT_FALSE(absent->Attach());

    // The empty path box only ever attaches: it stops quietly and starts nothing.
    ThePlatform().Spreadsheet = absent.get();
    EXPECT_EQ(OpenSource("  "), -1);
    EXPECT_EQ(window.Path, "  ");
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_TRUE(calc::RunningOffices(options.UserInstallation).empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "unused-profile"));
}

TEST_F(ConnectorTest, EmptyPathAdoptsTheActiveWorkbookAndTheNextRunFindsIt) {
    const auto book = Workbook("Adopted Series.ods", kSmall);
    probe.Open(book);
    EXPECT_EQ(OpenSource(""), -1);
    EXPECT_EQ(window.Path, "Adopted Series.ods");
    EXPECT_TRUE(window.Messages.empty());

    EXPECT_EQ(OpenSource(window.Path), 0);
    EXPECT_EQ(probe.CountOpen(book), 1);
    NextRowCell();
    EXPECT_EQ(CurrentCell(), "title");
}

TEST_F(ConnectorTest, ARunningOfficeIsAskedToListenOnThePipe) {
    CalcOptions options = OfficeOptions();
    options.PipeName = std::string(VARSEL_TEST_CALC_PIPE) + "_asked";
    ASSERT_FALSE(calc::ConnectToPipe(options.PipeName).is());
    auto asking = MakeCalcConnector(options);
    const auto app = asking->Attach();
    ASSERT_TRUE(app) << "the test office should have taken up " << options.PipeName;
    EXPECT_TRUE(calc::ConnectToPipe(options.PipeName).is());
    EXPECT_EQ(calc::RunningOffices(OfficeProfileUrl()).size(), 1u) << "no second office";
}

TEST_F(ConnectorTest, StartBringsUpAnOfficeOnlyWhereItCanBeSeen) {
    CalcOptions options = OfficeOptions();
    options.PipeName = std::string(VARSEL_TEST_CALC_PIPE) + "_started";
    // Beside the test office's own profile, so that the office's traces go when it is stopped.
    const auto profile = OfficeFolder() / "started-profile";
    std::filesystem::remove_all(profile);
    options.UserInstallation = "file://" + profile.string();
    {
        // Without a display a visible office cannot come up: nothing is launched.
        WithoutVariable display("DISPLAY"), wayland("WAYLAND_DISPLAY");
        CalcOptions visible = options;
        visible.StartArguments.clear();
        visible.StartTimeoutMs = 3000;
        EXPECT_FALSE(MakeCalcConnector(visible)->Start());
        EXPECT_TRUE(calc::RunningOffices(options.UserInstallation).empty());
    }

    auto starting = MakeCalcConnector(options);
    const auto app = starting->Start();
    const std::vector<pid_t> started = calc::RunningOffices(options.UserInstallation);
    EXPECT_TRUE(app);
    EXPECT_EQ(started.size(), 1u);
    if (app) {
        EXPECT_EQ(app->WorkbookCount(), 0);
        EXPECT_TRUE(starting->Attach()) << "the started office now listens";
    }
    for (const pid_t office : started) {
        kill(office, SIGTERM);
        WaitUntilGone(office);
        EXPECT_FALSE(calc::ProcessAlive(office));
    }
}

using WorkbookTest = OfficeTest;

TEST_F(WorkbookTest, OpenWorkbookIsFoundInAnyLetterCaseAndNotOpenedTwice) {
    const auto series = Workbook("Series1.ods", {{"series title"}});
    const auto other = Workbook("other.xlsx", {{"other title"}});
    ASSERT_EQ(OpenSource("Series1.ods"), 0) << "opened by the data source";
    ASSERT_EQ(OpenSource("other.xlsx"), 0);
    EXPECT_EQ(probe.CurrentUrl(), calc::ToUtf8(calc::FileUrl(other.string())));

    // The same name in other letters, and a work folder elsewhere: the open one is taken.
    Model().WorkFolder = "/nonexistent/";
    ASSERT_EQ(OpenSource("SERIES1.ODS"), 0);
    EXPECT_EQ(probe.CountOpen(series), 1);
    EXPECT_EQ(probe.CurrentUrl(), calc::ToUtf8(calc::FileUrl(series.string())))
        << "the found workbook becomes the active one";
    NextRowCell();
    EXPECT_EQ(CurrentCell(), "series title");
    EXPECT_TRUE(window.Messages.empty());
}

TEST_F(WorkbookTest, TheActiveSheetIsTakenAndOtherwiseTheFirst) {
    const auto file = folder.Path() / "sheets.ods";
    probe.MakeWorkbook(file, {{{"on sheet 1"}}, {{"on sheet 2"}}});
    probe.Open(file);
    probe.SetActiveSheet(file, 1);
    ASSERT_EQ(OpenSource("sheets.ods"), 0);
    NextRowCell();
    EXPECT_EQ(CurrentCell(), "on sheet 2");

    const auto first = Model().DataWorkbook->FirstWorksheet();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->CellText(1, 1), "on sheet 1");
}

TEST_F(WorkbookTest, NamesComeFromTheFileEvenForReadOnlyWorkbooks) {
    const std::string name = "Série 1 (Na+ #2).ods";
    const auto file = Workbook(name, kSmall);
    // Another user's lock file: with locking on, the office opens the workbook read-only.
    std::ofstream(folder.Path() / (".~lock." + name + "#"))
        << ",someone else,otherhost,01.01.2026 10:00,file:///home/other/.config/libreoffice/4;";
    probe.SetDocumentLocking(true);
    const int status = OpenSource(name);
    probe.SetDocumentLocking(false);

    ASSERT_EQ(status, 0);
    EXPECT_EQ(Model().DataWorkbook->Name(), name);
    EXPECT_TRUE(Model().DataWorkbook->ReadOnly());
    ASSERT_EQ(window.Messages.size(), 1u) << "the user learns that the file is locked";
    EXPECT_EQ(window.Messages[0].Icon, MessageIcon::Exclamation);
    EXPECT_NE(window.Messages[0].Text.find(file.string()), std::string::npos);
    // The cells still take the results.
    Model().DataSheet->SetCellNumber(2, 3, 7);
    EXPECT_EQ(Value(probe.Sheet(file, 0), 2, 3), 7);
}

TEST_F(WorkbookTest, AWorkbookThatCannotBeOpenedIsReportedWithItsPath) {
    const int status = OpenSource("absent.xls");
    EXPECT_EQ(status, -1);
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].Text,
              "The workbook " + (folder.Path() / "absent.xls").string() + " does not exist");
    EXPECT_EQ(window.Messages[0].Icon, MessageIcon::Critical);

    const auto app = connector->Attach();
    ASSERT_TRUE(app);
    try {
        app->OpenWorkbook((folder.Path() / "absent.ods").string());
        ADD_FAILURE() << "a missing workbook must not open";
    } catch (const RuntimeFailure& failure) {
        EXPECT_EQ(failure.Number(), kFileNotFound);
    }
}

}  // namespace
}  // namespace varsel::test
