// Whole runs on workbooks in the office: the smallest shipped example, made into a workbook by
// the office itself, gives cell for cell the results of the same example run as a text file and
// keeps every other cell as it was; and a command line killed during a run on a workbook leaves
// the office unlocked.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "OfficeTest.h"
#include "engine/EngineFactory.h"
#include "files/PrivateFolder.h"
#include "model/TextCells.h"
#include "shell/RunSequence.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;
using Grid = SheetRows;

// The cells of a text data file as the program reads them (trimmed, quotes taken off).
Grid TextGrid(const std::string& bytes) {
    Grid grid;
    for (std::string line : TextLines(bytes)) {
        std::vector<std::string> cells;
        while (!line.empty())
            cells.push_back(TakeTextCell(line));
        grid.push_back(cells);
    }
    return grid;
}

std::string At(const Grid& grid, int row, int column) {
    if (row < 1 || row > static_cast<int>(grid.size())) return std::string();
    const auto& cells = grid[static_cast<std::size_t>(row - 1)];
    if (column < 1 || column > static_cast<int>(cells.size())) return std::string();
    return cells[static_cast<std::size_t>(column - 1)];
}

std::string Example(const std::string& name) {
    return FileBytes(fs::path(VARSEL_EXAMPLES_DIR) / name);
}

// The cells a workbook run fills, by the shape of the problem just read.
bool IsResultCell(const ProblemModel& m, int row, int column) {
    const int pmc = m.FixedPmcCount, species = m.SpeciesCount;
    if (row >= 8 && row <= 7 + pmc) return column == 3;
    if (row >= 9 + pmc && row <= 8 + pmc + species) return column >= 3 && column <= 5;
    if (row == 9 + pmc + species) return column == 3 || column == 4;
    const int sample = row - (13 + pmc + species);
    if (sample < 1 || sample > m.SampleCount) return false;
    const int c0 = m.SamplePmcCount + m.FormulaCount;
    return (column == c0 + 3 && m.XAxis.Kind != 0) || (column >= c0 + 5 && column <= c0 + 7);
}

// Waits until `done` holds, at most `seconds`; false when it never came.
template <class Condition>
bool WaitUntil(double seconds, Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Running guardian processes of runs on the test office (an ended one shows no command line).
int Guardians() {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(in)), {});
        count += line.find("varsel-office-guardian") != std::string::npos &&
                 line.find(VARSEL_TEST_CALC_PIPE) != std::string::npos;
    }
    return count;
}

// The shell command that runs varsel-cli on `file` in the test office.
std::string CliCommand(const fs::path& file) {
    return "VARSEL_CALC_PIPE=" + OfficeOptions().PipeName +
           " VARSEL_CALC_PROFILE=" + OfficeProfileUrl() + " exec " + VARSEL_CLI_PATH + " " +
           file.string();
}

class RunTest : public OfficeTest {
  protected:
    void SetUp() override {
        OfficeTest::SetUp();
        context.Engine = &engine;
    }
    // Runs the whole sequence on `name` in the test folder; true when the results were saved.
    bool Run(const std::string& name) {
        window = RecordingWindow();
        window.Path = name;
        RunSequence(m, context);
        return m.StatusCode == 0 && !window.Messages.empty() &&
               window.Messages.back().Text == "Results are saved  ";
    }
    engine::EngineFactory engine;
};

TEST_F(RunTest, AnExampleAsAWorkbookGivesTheResultsOfTheTextFile) {
    const std::string example = "quartz.txt", workbook = "quartz.ods";
    const std::string original = Example(example);
    folder.Write(example, original);
    ASSERT_TRUE(Run(example)) << m.StatusText;
    const Grid text = TextGrid(folder.Read(example));

    const Grid typed = TypedRows(original);
    const fs::path file = folder.Path() / workbook;
    probe.MakeWorkbook(file, {typed});
    const std::string bytes = FileBytes(file);
    ASSERT_TRUE(Run(workbook)) << m.StatusText;
    EXPECT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(FileBytes(file), bytes) << "the workbook is not saved";

    const auto sheet = probe.Sheet(file, 0);
    const int rows = static_cast<int>(std::max(text.size(), typed.size()));
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= 12; ++column) {
            SCOPED_TRACE(testing::Message() << "cell (" << row << ", " << column << ")");
            const CellContent cell = ContentOf(sheet, row, column);
            if (IsResultCell(m, row, column)) {
                const std::string expected = At(text, row, column);
                if (expected.empty() || expected == "0") {
                    // The text file may spell an absent extras count as 0.
                    EXPECT_TRUE(cell.Empty || (cell.Number && cell.Value == 0));
                } else {
                    // The text file spells floats with at most 7 significant digits.
                    ASSERT_TRUE(cell.Number) << expected;
                    EXPECT_NEAR(cell.Value, ToFloat(expected), 6e-7 * std::fabs(cell.Value))
                        << expected;
                }
                continue;
            }
            // Every other cell keeps what was typed into it.
            const std::string typedCell = At(typed, row, column);
            double number = 0;
            if (typedCell.empty()) {
                EXPECT_TRUE(cell.Empty);
            } else if (IsNumeric(typedCell)) {
                number = std::strtod(typedCell.c_str(), nullptr);
                EXPECT_TRUE(cell.Number && cell.Value == number) << typedCell;
            } else {
                EXPECT_EQ(cell.Text, typedCell);
            }
        }
    }
}

TEST_F(RunTest, ACommandLineKilledDuringARunLeavesTheOfficeUnlocked) {
    // Many samples keep the run in the office long enough to be caught holding it locked.
    std::string text = Example("nacl.txt");
    const std::string samples = text.substr(text.find("m=0.1"));
    for (int copy = 0; copy < 20; ++copy)
        text += samples;
    const fs::path file = folder.Path() / "long.ods";
    probe.MakeWorkbook(file, {TypedRows(text)});
    probe.Open(file);
    // Where the command line keeps its record, in the same environment as this test.
    const fs::path record = VarselPrivateFolder().Path / (OfficeOptions().PipeName + ".locks");

    for (const bool guarded : {true, false}) {
        SCOPED_TRACE(guarded ? "with its guardian" : "without a guardian");
        const std::string command = (guarded ? "" : "VARSEL_OFFICE_GUARDIAN= ") + CliCommand(file);
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        pid_t cli = -1;
        ASSERT_EQ(posix_spawn(&cli, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ),
                  0);
        int status = 0;
        const bool locked = WaitUntil(300, [&] {
            return !probe.InputEnabled(file) || waitpid(cli, &status, WNOHANG) == cli;
        });
        kill(cli, SIGKILL);
        waitpid(cli, &status, 0);
        const auto killed = std::chrono::steady_clock::now();
        ASSERT_TRUE(locked && WIFSIGNALED(status)) << "the run ended before it was seen locked";

        if (guarded) {
            EXPECT_TRUE(WaitUntil(
                60, [&] { return probe.InputEnabled(file) && !probe.ProgressShown(file); }));
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
            EXPECT_LE(seconds, 3.0) << "the office was given back too late";
        } else {
            // The lock record lets the next attach give the office back.
            EXPECT_FALSE(probe.InputEnabled(file));
            EXPECT_TRUE(probe.ProgressShown(file));
            CalcOptions options = OfficeOptions();
            options.LockRecordPath = record.string();
            ASSERT_TRUE(MakeCalcConnector(options)->Attach());
            EXPECT_TRUE(probe.InputEnabled(file));
            EXPECT_FALSE(probe.ProgressShown(file));
        }
        EXPECT_TRUE(WaitUntil(60, [&] { return !fs::exists(record); })) << FileBytes(record);
    }
    EXPECT_TRUE(WaitUntil(60, [&] { return Guardians() == 0; }));
}

}  // namespace
}  // namespace varsel::test
