// The data file as a grid: choosing the form from the path, the text cell rules on crafted
// files, reading past the end, and the workbook form through a scripted spreadsheet.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "model/DataSource.h"
#include "model/ProblemModel.h"
#include "model/RuntimeFailure.h"
#include "services/RunContext.h"
#include "services/Spreadsheet.h"
#include "support/FakeSpreadsheet.h"
#include "support/RecordingWindow.h"
#include "support/TempFolder.h"

namespace varsel {
namespace {

using test::FakeApp;
using test::FakeBook;
using test::FakeConnector;

// --- fixture ---------------------------------------------------------------------------------

class DataSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        context.Window = &window;
        m.WorkFolder = folder.AsWorkFolder();
    }

    // Opens `bytes` as a text data file and returns the status code.
    int OpenText(const std::string& bytes, const std::string& name = "data.txt") {
        folder.Write(name, bytes);
        return Open(name);
    }
    // Opens the data source on `path` and returns the status code.
    int Open(const std::string& path) {
        m.StatusCode = 0;
        window.Path = path;
        source = std::make_unique<DataSource>(m, context);
        source->Open();
        return m.StatusCode;
    }

    // The next `count` cells of a new row.
    std::vector<std::string> Row(int count) {
        std::vector<std::string> cells;
        source->NextRowCell();
        cells.push_back(source->CurrentCell());
        for (int i = 1; i < count; ++i) {
            source->NextCell();
            cells.push_back(source->CurrentCell());
        }
        return cells;
    }

    test::TempFolder folder;
    test::RecordingWindow window;
    ProblemModel m;
    RunContext context;
    std::unique_ptr<DataSource> source;
};

using Cells = std::vector<std::string>;

TEST_F(DataSourceTest, TabsBlanksAndQuotes) {
    ASSERT_EQ(OpenText("  Database:  \t  thermo  \r\n"
                       "\"a(Na+)\"\t\"\t\"\"\t\"x\t \" q \" \r\n"
                       "a\t\tb\r\n"),
              0);
    EXPECT_EQ(Row(3), (Cells{"Database:", "thermo", ""}));
    EXPECT_EQ(source->CurrentRow(), 1);
    EXPECT_EQ(source->CurrentColumn(), 3);
    // Quotes go only in pairs around a cell longer than one character; inner blanks stay.
    EXPECT_EQ(Row(6), (Cells{"a(Na+)", "\"", "", "\"x", " q ", ""}));
    EXPECT_EQ(Row(4), (Cells{"a", "", "b", ""}));
}

TEST_F(DataSourceTest, FileTypeComesFromTheLastFourCharacters) {
    EXPECT_EQ(OpenText("x\r\n", "upper.Txt"), 0);
    source->Close();
    EXPECT_FALSE(m.IsWorkbook);
    EXPECT_TRUE(window.Messages.empty());

    for (const char* name : {"data.txt ", "data.csv", "txt"}) {
        EXPECT_EQ(Open(name), -1) << name;
        ASSERT_FALSE(window.Messages.empty());
        EXPECT_EQ(
            window.Messages.back(),
            (test::ShownMessage{"Incorrect file type  ", MessageButtons::Ok, MessageIcon::None}));
    }
    for (const char* name : {"a.XLS", "b.xlsx", "c.Ods", ".xls"}) {
        EXPECT_TRUE(IsWorkbookPath(name)) << name;
    }
    for (const char* name : {"a.xls ", "a.xlsm", "a.odsx", "xls", "a.ots", "a.txt"}) {
        EXPECT_FALSE(IsWorkbookPath(name)) << name;
    }
}

TEST_F(DataSourceTest, EmptyWorkFolderBecomesTheCurrentFolder) {
    folder.Write("here.txt", "x\r\n");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    m.WorkFolder.clear();
    const int code = Open("here.txt");
    std::filesystem::current_path(previous);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(m.WorkFolder, folder.AsWorkFolder());
    EXPECT_EQ(Row(1)[0], "x");
}

TEST_F(DataSourceTest, WorkbookIsOpenedOrStartedWhenNeeded) {
    FakeConnector connector;
    context.Spreadsheet = &connector;
    ASSERT_EQ(Open("new.xls"), 0);
    EXPECT_EQ(connector.starts, 1);
    EXPECT_TRUE(connector.running->visible);
    EXPECT_EQ(window.FocusRequests, 1);
    ASSERT_EQ(connector.running->opened.size(), 1u);
    EXPECT_EQ(connector.running->opened[0], folder.AsWorkFolder() + "new.xls");
    EXPECT_TRUE(m.DataSheet) << "no active sheet: the first worksheet";

    connector.running->books.back()->first = nullptr;
    EXPECT_EQ(Open("new.xls"), 2) << "a workbook without a worksheet";
    EXPECT_EQ(window.FocusRequests, 1) << "the window goes on top of windows the office opened";
    EXPECT_EQ(Open("other.xls"), 0);
    EXPECT_EQ(window.FocusRequests, 2);

    FakeConnector broken;
    broken.canStart = false;
    context.Spreadsheet = &broken;
    EXPECT_EQ(Open("new.xls"), -1);
    EXPECT_EQ(window.Messages.back().Text, "Could not run Excel");
}

TEST_F(DataSourceTest, WorkbookNotOpenedIsReportedAndOneOpenedReadOnlyIsUsedAfterAWarning) {
    FakeConnector connector;
    context.Spreadsheet = &connector;
    connector.running = std::make_shared<FakeApp>();
    // The application's own reason is shown by the backend tests; one that hands back no
    // workbook and no reason still gets a message.
    connector.running->openReturnsNull = true;
    EXPECT_EQ(Open("Other.XLSX"), -1);
    EXPECT_FALSE(m.DataSheet);
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].Text,
              "Could not open the workbook " + folder.AsWorkFolder() + "Other.XLSX");
    EXPECT_EQ(window.Messages[0].Icon, MessageIcon::Critical);

    window.Messages.clear();
    connector.running->openReturnsNull = false;
    connector.running->openReadOnly = true;
    for (const char* path : {"locked.xls", "LOCKED.xls"}) {
        // Found open already, in other letters, it is simply used: the user opened it so.
        SCOPED_TRACE(path);
        EXPECT_EQ(Open(path), 0);
        EXPECT_EQ(connector.running->opened.size(), 2u);
        ASSERT_EQ(window.Messages.size(), 1u);
        EXPECT_EQ(window.Messages[0].Icon, MessageIcon::Exclamation);
    }
}

}  // namespace
}  // namespace varsel
