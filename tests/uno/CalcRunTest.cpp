// Whole runs on workbooks in the office: each shipped example, made into a workbook by the
// office itself, gives cell for cell the results of the same example run as a text file and
// keeps every other cell as it was; the reader clears the result cells and writes the values
// it computes; a fit that fails gives the office back with the cells written so far; and the
// command line runs a workbook through the user's office connection.
#include <sys/wait.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <com/sun/star/beans/XPropertySet.hpp>

#include "OfficeTest.h"
#include "engine/EngineFactory.h"
#include "model/Reader.h"
#include "model/TextCells.h"
#include "shell/RunSequence.h"
#include "support/ScriptedEngine.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
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
bool IsResultCell(int row, int column) {
    const ProblemModel& m = Model();
    const int pmc = m.FixedPmcCount, species = m.SpeciesCount;
    if (row >= 8 && row <= 7 + pmc) return column == 3;
    if (row >= 9 + pmc && row <= 8 + pmc + species) return column >= 3 && column <= 5;
    if (row == 9 + pmc + species) return column == 3 || column == 4;
    const int sample = row - (13 + pmc + species);
    if (sample < 1 || sample > m.SampleCount) return false;
    const int c0 = m.SamplePmcCount + m.FormulaCount;
    return (column == c0 + 3 && m.XAxis.Kind != 0) || (column >= c0 + 5 && column <= c0 + 7);
}

class RunTest : public OfficeTest {
  protected:
    void SetUp() override {
        OfficeTest::SetUp();
        ThePlatform().Engine = &engine;
    }
    // Runs the whole sequence on `name` in the test folder; true when the results were saved.
    bool Run(const std::string& name) {
        window = RecordingWindow();
        window.Path = name;
        RunSequence();
        return Model().StatusCode == 0 && !window.Messages.empty() &&
               window.Messages.back().Text == "Results are saved  ";
    }
    engine::EngineFactory engine;
};

TEST_F(RunTest, EachExampleAsAWorkbookGivesTheResultsOfTheTextFile) {
    for (const auto& [example, workbook] : {std::pair{"nacl.txt", "nacl.xlsx"},
                                            {"quartz.txt", "quartz.ods"},
                                            {"agcl.txt", "agcl.xls"}}) {
        SCOPED_TRACE(workbook);
        const std::string original = Example(example);
        folder.Write(example, original);
        ASSERT_TRUE(Run(example)) << Model().StatusText;
        const Grid text = TextGrid(folder.Read(example));

        const Grid typed = TypedRows(original);
        const fs::path file = folder.Path() / workbook;
        probe.MakeWorkbook(file, {typed});
        const std::string bytes = FileBytes(file);
        ASSERT_TRUE(Run(workbook)) << Model().StatusText;
        EXPECT_EQ(window.Messages.size(), 1u);
        EXPECT_EQ(FileBytes(file), bytes) << "the workbook is not saved";

        const auto sheet = probe.Sheet(file, 0);
        // The cells hold the run's stored values exactly.
        const ProblemModel& m = Model();
        for (int i = 1; i <= m.SpeciesCount; ++i) {
            EXPECT_EQ(Value(sheet, 8 + m.FixedPmcCount + i, 4), m.SpeciesValue[i]);
        }
        const int c0 = m.SamplePmcCount + m.FormulaCount;
        for (int k = 1; k <= m.SampleCount; ++k) {
            const int row = 13 + m.FixedPmcCount + m.SpeciesCount + k;
            EXPECT_EQ(Value(sheet, row, c0 + 5), m.Samples[k].YCalc);
            EXPECT_EQ(Value(sheet, row, c0 + 6), m.Samples[k].Error);
        }
        const int rows = static_cast<int>(std::max(text.size(), typed.size()));
        for (int row = 1; row <= rows; ++row) {
            for (int column = 1; column <= 12; ++column) {
                SCOPED_TRACE(testing::Message() << "cell (" << row << ", " << column << ")");
                const CellContent cell = ContentOf(sheet, row, column);
                if (IsResultCell(row, column)) {
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
        probe.CloseAll();
    }
}

TEST_F(RunTest, TheReaderClearsResultCellsAndWritesWhatItComputes) {
    // Cells left from an earlier run, some of them coloured.
    Grid nacl = TypedRows(Example("nacl.txt"));
    const auto put = [&](int row, int column, const std::string& text) {
        auto& cells = nacl[static_cast<std::size_t>(row - 1)];
        if (cells.size() < static_cast<std::size_t>(column)) cells.resize(column);
        cells[static_cast<std::size_t>(column - 1)] = text;
    };
    // Species in rows 10 and 11, the mean errors in row 12, samples from row 17 (X column 5).
    put(10, 5, "0.5");
    put(12, 3, "9");
    put(12, 4, "old");
    for (int column = 5; column <= 9; ++column)
        put(17, column, column == 6 ? "-1.109" : "7");
    const fs::path file = folder.Path() / "stale.ods";
    probe.MakeWorkbook(file, {nacl});
    probe.Open(file);
    const auto sheet = probe.Sheet(file, 0);
    Reference<css::beans::XPropertySet>(sheet->getCellByPosition(6, 16), UNO_QUERY_THROW)
        ->setPropertyValue("CellBackColor", css::uno::Any(sal_Int32(0x00FF00)));

    window.Path = "stale.ods";
    ASSERT_EQ(ReadDataFile(), 0) << Model().StatusText;
    for (const auto& [row, column] :
         {std::pair{10, 5}, {11, 5}, {12, 3}, {12, 4}, {17, 5}, {17, 7}, {17, 8}, {17, 9}}) {
        EXPECT_TRUE(ContentOf(sheet, row, column).Empty) << row << ", " << column;
    }
    sal_Int32 colour = 0;
    Reference<css::beans::XPropertySet>(sheet->getCellByPosition(6, 16), UNO_QUERY_THROW)
        ->getPropertyValue("CellBackColor") >>= colour;
    EXPECT_EQ(colour, -1) << "cleared with its format";
    EXPECT_EQ(Value(sheet, 17, 6), -1.109) << "the measured Y stays";
    // Both species had no initial value: the engine's values stand in their cells now.
    const ProblemModel& m = Model();
    ASSERT_EQ(m.SpeciesCount, 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(static_cast<float>(Value(sheet, 9 + i, 3)), m.SpeciesInitial[i]);
    }

    // A p.m.c. whose potential the engine computes gets it in its cell.
    ResetModel();
    ResetDataSource();
    Model().WorkFolder = folder.AsWorkFolder();
    const fs::path quartz = folder.Path() / "quartz.xls";
    probe.MakeWorkbook(quartz, {TypedRows(Example("quartz.txt"))});
    window.Path = "quartz.xls";
    ASSERT_EQ(ReadDataFile(), 0) << Model().StatusText;
    ASSERT_EQ(Model().FixedPmcCount, 1);
    const CellContent potential = ContentOf(probe.Sheet(quartz, 0), 8, 3);
    ASSERT_TRUE(potential.Number);
    EXPECT_LT(potential.Value, -800) << "quartz, kJ/mol";
}

// The worked example of the data file, for the scripted sodium chloride engine.
const Grid kScriptedExample = {
    {"Solubility series 1"},
    {"Database:", "thermo"},
    {"System:", "nacl"},
    {"Options:", "/wp"},
    {"T, C:", "25"},
    {"P, bar:", "0"},
    {"P.m.c.:", "1", "Potential"},
    {"", "O2,g", "-10"},
    {"Species:", "2", "Initial", "Result", " \xC2\xB1"},
    {"", "Na+"},
    {"", "Cl-", "-131.2", "-131.2"},
    {"Mean err.:"},
    {"X axis:", "m(Cl)"},
    {"Y axis:", "a(Na+)"},
    {},
    {"Sample", "H2O", "NaCl", "Weight", "X", "Y (exp)", "Y (calc)", "error", "extras"},
    {"s1", "", "0.1", "1", "", "-1.05"},
    {"s2", "", "0.5", "1", "", "-0.43"},
};

TEST_F(RunTest, AFitThatFailsGivesTheOfficeBackWithTheCellsWrittenSoFar) {
    for (const bool thrown : {false, true}) {
        SCOPED_TRACE(thrown ? "the engine throws" : "the engine refuses");
        EngineScript script = NaClScript();
        // The initial pass completes; the first iteration's pass fails.
        script.FailFromCalculation = thrown ? 0 : 8;
        script.ThrowOnCalculate = thrown;
        ScriptedEngine scripted(script);
        ThePlatform().Engine = &scripted;
        const fs::path file = folder.Path() / "fails.ods";
        probe.MakeWorkbook(file, {kScriptedExample});
        ASSERT_FALSE(Run("fails.ods"));
        ASSERT_FALSE(window.Messages.empty());
        EXPECT_EQ(window.Messages.back().Text.rfind("Optimization: ", 0), 0u)
            << window.Messages.back().Text;
        EXPECT_EQ(window.Messages.back().Icon, MessageIcon::None);

        EXPECT_TRUE(probe.InputEnabled(file));
        EXPECT_FALSE(probe.ProgressShown(file));
        const auto sheet = probe.Sheet(file, 0);
        if (!thrown) {
            EXPECT_TRUE(ContentOf(sheet, 12, 3).Number) << "the initial mean error stays";
            EXPECT_TRUE(ContentOf(sheet, 17, 7).Number) << "Y (calc) of the initial pass";
            EXPECT_TRUE(ContentOf(sheet, 10, 3).Number) << "the computed initial value";
        }
        probe.CloseAll();
    }
}

TEST_F(RunTest, TheCommandLineRunsAWorkbookInTheUsersOffice) {
    const fs::path file = folder.Path() / "nacl.ods";
    probe.MakeWorkbook(file, {TypedRows(Example("nacl.txt"))});
    const std::string bytes = FileBytes(file);
    const std::string command = "VARSEL_CALC_PIPE=" + OfficeOptions().PipeName +
                                " VARSEL_CALC_PROFILE=" + OfficeProfileUrl() + " " +
                                VARSEL_CLI_PATH + " " + file.string() + " 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_NE(output.find("Results are saved"), std::string::npos) << output;

    EXPECT_EQ(FileBytes(file), bytes) << "the workbook is not saved";
    EXPECT_EQ(probe.CountOpen(file), 1);
    EXPECT_TRUE(probe.Modified(file));
    const auto sheet = probe.Sheet(file, 0);
    EXPECT_TRUE(ContentOf(sheet, 10, 4).Number) << "the fitted NaCl,aq";
    EXPECT_TRUE(ContentOf(sheet, 12, 4).Number) << "the final mean error";
    EXPECT_TRUE(probe.InputEnabled(file));
}

}  // namespace
}  // namespace varsel::test
