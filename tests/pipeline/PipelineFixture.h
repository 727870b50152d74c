// Common ground of the pipeline tests: a recording window, the scripted sodium chloride
// engine, a temporary work folder, the worked-example data file as editable lines, and a
// command runner for the command-line program.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/Reader.h"
#include "services/RunContext.h"
#include "support/FakeSpreadsheet.h"
#include "support/RecordingWindow.h"
#include "support/ScriptedEngine.h"
#include "support/TempFolder.h"
#include "varsel/Stop.h"

namespace varsel::test {

/// The worked example: O2,g fixed, H2O per sample, Na+ free with a computed initial value,
/// Cl- fixed, one formula column. Lines without their ends; rows are the index + 1.
inline std::vector<std::string> WorkedExample() {
    return {"Solubility series 1",
            "Database:\tthermo",
            "System:\tnacl",
            "Options:\t/wp",
            "T, C:\t25",
            "P, bar:\t0",
            "P.m.c.:\t1\tPotential",
            "\tO2,g\t-10",
            "Species:\t2\tInitial\tResult\t \xB1",
            "\tNa+\t\t\t",
            "\tCl-\t-131.2\t-131.2\t",
            "Mean err.:",
            "X axis:\tm(Cl)",
            "Y axis:\ta(Na+)",
            "",
            "Sample\tH2O\tNaCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras",
            "s1\t\t0.1\t1\t\t-1.05",
            "s2\t\t0.5\t1\t\t-0.43",
            ""};
}

/// The worked example with data that fit K1 = 3 closely enough for the fit of Na+ to converge.
inline std::vector<std::string> FittableExample() {
    std::vector<std::string> lines = WorkedExample();
    lines[16] = "s1\t\t0.1\t1\t\t-1.05";
    lines[17] = "s2\t\t0.5\t1\t\t-1.25";
    return lines;
}

/// A worksheet holding the lines' cells, split at tabs and not trimmed.
inline std::shared_ptr<FakeSheet> SheetOf(const std::vector<std::string>& lines) {
    auto sheet = std::make_shared<FakeSheet>();
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::string& line = lines[r];
        int column = 1;
        std::size_t start = 0;
        for (;;) {
            const auto tab = line.find('\t', start);
            const std::string cell = line.substr(start, tab - start);
            if (!cell.empty()) sheet->cells[{static_cast<int>(r) + 1, column}] = cell;
            if (tab == std::string::npos) break;
            start = tab + 1;
            ++column;
        }
    }
    return sheet;
}

/// Lines joined with CR LF, the last one ended too.
inline std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

/// Expects two data files to hold the same cells, numbers within `tolerance` (relative above
/// 1, absolute below; the
/// seven digits a file keeps of a value move what is computed from it a little).
inline void ExpectSameCells(const std::string& a, const std::string& b, double tolerance) {
    const auto cells = [](const std::string& text) {
        std::vector<std::string> out(1);
        for (char c : text) {
            if (c == '\t' || c == '\n') {
                out.emplace_back();
            } else if (c != '\r') {
                out.back().push_back(c);
            }
        }
        return out;
    };
    const std::vector<std::string> x = cells(a), y = cells(b);
    ASSERT_EQ(x.size(), y.size()) << a << "\n---\n" << b;
    for (std::size_t i = 0; i < x.size(); ++i) {
        char* endX = nullptr;
        char* endY = nullptr;
        const double u = std::strtod(x[i].c_str(), &endX);
        const double v = std::strtod(y[i].c_str(), &endY);
        if (!x[i].empty() && *endX == '\0' && !y[i].empty() && *endY == '\0') {
            EXPECT_NEAR(u, v, tolerance * std::max(std::fabs(u), 1.0)) << "cell " << i;
        } else {
            EXPECT_EQ(x[i], y[i]) << "cell " << i;
        }
    }
}

/// Runs a shell command with its error output joined to its output; the exit code, or -1.
inline int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PipelineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        script = NaClScript();
        context.Window = &window;
        context.Engine = &engine;
        context.Stop = stop.Token();
        m.WorkFolder = folder.AsWorkFolder();
        window.Path = "data.txt";
    }
    void TearDown() override { SetDecimalSeparator('.'); }

    /// Writes the lines as data.txt.
    void WriteFile(const std::vector<std::string>& lines) {
        folder.Write("data.txt", JoinLines(lines));
    }
    /// Writes the lines and reads them with fresh engine objects; returns the status code.
    int Read(const std::vector<std::string>& lines) {
        WriteFile(lines);
        ReleaseEngine();
        return ReadDataFile(m, context);
    }
    /// Drops the engine objects, as the end of a run does.
    void ReleaseEngine() {
        m.Thermo.reset();
        m.SystemReader.reset();
        m.Solver.reset();
    }

    /// Makes an open workbook data.xls, its active sheet holding the lines, the data file.
    FakeSheet& OpenWorkbook(const std::vector<std::string>& lines) {
        connector.running = std::make_shared<FakeApp>();
        connector.running->books.push_back(std::make_shared<FakeBook>());
        FakeBook& book = *connector.running->books.back();
        book.name = window.Path = "data.xls";
        book.active = SheetOf(lines);
        context.Spreadsheet = &connector;
        return *book.active;
    }

    EngineScript script;
    ScriptedEngine engine{script};
    FakeConnector connector;
    RecordingWindow window;
    TempFolder folder;
    ProblemModel m;
    StopSource stop;
    RunContext context;
};

}  // namespace varsel::test
