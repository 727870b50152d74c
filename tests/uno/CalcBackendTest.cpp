// Reaching the office and its workbooks: attaching (and telling once that the lock record's
// folder was refused), asking a running office to listen, not starting one nobody could see
// nor using a pipe another user holds, the quiet stop of the empty path, finding an open
// workbook by its file (and by a name only when that is unique), names taken from the file,
// the active or first sheet, and workbooks that cannot be opened (the three workbook formats
// are run whole in the run tests).
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>

#include "OfficeTest.h"
#include "model/RuntimeFailure.h"
#include "services/uno/OfficeProcesses.h"
#include "services/uno/UnoBridge.h"
#include "support/Raised.h"

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

using ConnectorTest = OfficeTest;

TEST_F(ConnectorTest, AttachListsTheOpenWorkbooksAndTheActiveOne) {
    const auto first = Workbook("first.ods", kSmall);
    const auto second = Workbook("second.xls", kSmall);
    probe.Open(second);
    probe.Open(first);  // the workbook opened last is the active one

    // A refused folder for the lock record is told once; the attaches go on without a record.
    CalcOptions options = OfficeOptions();
    options.LockRecordProblem = "/x is open to other users (mode 0777)";
    connector = MakeCalcConnector(options);
    ASSERT_TRUE(connector->Attach());
    const auto app = connector->Attach();
    EXPECT_EQ(connector->TakeNotice().find("Locked workbook windows are not recorded: /x is"), 0u);
    EXPECT_EQ(connector->TakeNotice(), "");
    ASSERT_TRUE(app);
    ASSERT_EQ(app->WorkbookCount(), 2);
    std::set<std::string> names;
    for (int i = 1; i <= 2; ++i)
        names.insert(app->Workbook(i)->Name());
    EXPECT_EQ(names, (std::set<std::string>{"first.ods", "second.xls"}));
    ASSERT_TRUE(app->ActiveWorkbook());
    EXPECT_EQ(app->ActiveWorkbook()->Name(), "first.ods");
    for (int index : {0, 3})
        EXPECT_EQ(RaisedBy([&] { app->Workbook(index); }).Number, kSubscriptOutOfRange) << index;
}

TEST_F(ConnectorTest, WithoutAnOfficeNothingIsAttachedAndNothingStartedUnasked) {
    WithoutVariable display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    CalcOptions options = OfficeOptions();
    options.PipeName = std::string(VARSEL_TEST_CALC_PIPE) + "_nobody";
    options.UserInstallation = "file://" + (folder.Path() / "unused-profile").string();
    auto absent = MakeCalcConnector(options);
    EXPECT_FALSE(absent->Attach());
    // The empty path box only ever attaches: it stops quietly and starts nothing.
    context.Spreadsheet = absent.get();
    EXPECT_EQ(OpenSource("  "), -1);
    EXPECT_EQ(window.Path, "  ");
    EXPECT_TRUE(window.Messages.empty());
    // A visible office cannot come up without a display: none is launched. (Start() itself
    // brings up the office that these tests share.)
    options.StartArguments.clear();
    EXPECT_FALSE(MakeCalcConnector(options)->Start());
    EXPECT_TRUE(calc::RunningOffices(options.UserInstallation).empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "unused-profile"));
}

TEST_F(ConnectorTest, EmptyPathAdoptsTheActiveWorkbookAndTheNextRunFindsIt) {
    const auto book = Workbook("Adopted Series.ods", kSmall);
    probe.Open(book);
    EXPECT_EQ(OpenSource(""), -1);
    EXPECT_EQ(window.Path, book.string()) << "the full path, so that the next start finds it";
    EXPECT_TRUE(window.Messages.empty());

    EXPECT_EQ(OpenSource(window.Path), 0);
    EXPECT_EQ(probe.CountOpen(book), 1);
    source->NextRowCell();
    EXPECT_EQ(source->CurrentCell(), "title");
}

TEST_F(ConnectorTest, ARunningOfficeIsAskedToListenOnThePipe) {
    CalcOptions options = OfficeOptions();
    // A pipe of this process, so that a later run against the same office asks again.
    options.PipeName = std::string(VARSEL_TEST_CALC_PIPE) + "_asked" + std::to_string(getpid());
    options.ForwardTimeoutMs = 120000;  // the launcher is slow to hand over on a busy machine
    ASSERT_FALSE(calc::ConnectToPipe(options.PipeName).is());
    auto asking = MakeCalcConnector(options);
    const auto app = asking->Attach();
    ASSERT_TRUE(app) << "the test office should have taken up " << options.PipeName;
    EXPECT_TRUE(calc::ConnectToPipe(options.PipeName).is());
    EXPECT_EQ(calc::RunningOffices(OfficeProfileUrl()).size(), 1u) << "no second office";
    // Only this user may connect, though the test office was started under the umask 000.
    struct stat socket {};
    const std::string path = "/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + options.PipeName;
    ASSERT_EQ(stat(path.c_str(), &socket), 0);
    EXPECT_EQ(socket.st_mode & 022, 0u);
}

TEST_F(ConnectorTest, ASocketOfAnotherUserInThePipesPlaceIsNeverUsed) {
    if (geteuid() != 0) GTEST_SKIP() << "only the superuser can make a file of another user's";
    CalcOptions options = OfficeOptions();
    options.PipeName = std::string(VARSEL_TEST_CALC_PIPE) + "_foreign" + std::to_string(getpid());
    const std::string socket = "/tmp/OSL_PIPE_0_" + options.PipeName;
    std::ofstream(socket) << "planted";
    ASSERT_EQ(chown(socket.c_str(), 65534, 65534), 0);
    auto connector = MakeCalcConnector(options);
    EXPECT_FALSE(connector->Attach()) << "the running test office is not asked to listen there";
    EXPECT_FALSE(connector->Start());
    EXPECT_NE(connector->TakeNotice().find(socket + " belongs to another user"), std::string::npos);
    EXPECT_EQ(FileBytes(socket), "planted");
    std::filesystem::remove(socket);
}

using WorkbookTest = OfficeTest;

TEST_F(WorkbookTest, AnOpenWorkbookIsFoundByItsFileAndByANameOnlyWhenThatIsUnique) {
    namespace fs = std::filesystem;
    const fs::path base = fs::canonical(folder.Path());
    fs::create_directories(base / "wb");
    fs::create_directories(base / "wb2");
    fs::create_directory_symlink(base / "wb", base / "link");
    const fs::path wb = base / "wb" / "agcl_book.ods", wb2 = base / "wb2" / "agcl_book.ods";
    probe.MakeWorkbook(wb, {{{"in wb"}}});
    probe.MakeWorkbook(wb2, {{{"in wb2"}}});
    const auto read = [&](const fs::path& workFolder, const std::string& path) {
        m.WorkFolder = workFolder.string() + "/";
        window.Messages.clear();
        if (OpenSource(path) != 0) return std::string("stopped");
        source->NextRowCell();
        return source->CurrentCell();
    };
    // One workbook of that name is open: found in any letter case, wherever it lies.
    probe.Open(wb);
    EXPECT_EQ(read(base, "AGCL_Book.ODS"), "in wb");
    probe.Open(wb2);
    EXPECT_EQ(probe.CurrentUrl(), calc::ToUtf8(calc::FileUrl(wb2.string())));
    // Two are open: the one that is the data file is taken, and becomes the active one.
    EXPECT_EQ(read(base / "wb", "agcl_book.ods"), "in wb");
    EXPECT_EQ(probe.CurrentUrl(), calc::ToUtf8(calc::FileUrl(wb.string())));
    EXPECT_EQ(read(base / "wb2", "agcl_book.ods"), "in wb2");
    EXPECT_EQ(read(base / "link", "agcl_book.ods"), "in wb") << "a symbolic link is resolved";
    EXPECT_EQ(read("/nonexistent", wb2.string()), "in wb2") << "a full path in the path box";
    EXPECT_EQ(probe.CountOpen(wb) + probe.CountOpen(wb2), 2) << "nothing is opened twice";
    EXPECT_TRUE(window.Messages.empty());
    // By name alone the choice would be a guess.
    EXPECT_EQ(read(base, "agcl_book.ods"), "stopped");
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].Text, "Two open workbooks are called agcl_book.ods (" +
                                           (base / "wb").string() + ", " + (base / "wb2").string() +
                                           "): close one, or choose the file by its full path  ");
    EXPECT_FALSE(m.DataSheet);
}

TEST_F(WorkbookTest, TheActiveSheetIsTakenAndOtherwiseTheFirst) {
    const auto file = folder.Path() / "sheets.ods";
    probe.MakeWorkbook(file, {{{"on sheet 1"}}, {{"on sheet 2"}}});
    probe.Open(file);
    probe.SetActiveSheet(file, 1);
    ASSERT_EQ(OpenSource("sheets.ods"), 0);
    source->NextRowCell();
    EXPECT_EQ(source->CurrentCell(), "on sheet 2");

    const auto first = m.DataWorkbook->FirstWorksheet();
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
    EXPECT_EQ(m.DataWorkbook->Name(), name);
    EXPECT_TRUE(m.DataWorkbook->ReadOnly());
    ASSERT_EQ(window.Messages.size(), 1u) << "the user learns that the file is locked";
    EXPECT_EQ(window.Messages[0].Icon, MessageIcon::Exclamation);
    EXPECT_NE(window.Messages[0].Text.find(file.string()), std::string::npos);
    // The cells still take the results.
    m.DataSheet->SetCellNumber(2, 3, 7);
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
    EXPECT_EQ(RaisedBy([&] { app->OpenWorkbook((folder.Path() / "absent.ods").string()); }).Number,
              kFileNotFound);
}

}  // namespace
}  // namespace varsel::test
