#include "output/ResultsWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/FileReplacement.h"
#include "files/MessageText.h"
#include "model/Checked.h"
#include "model/Layout.h"
#include "model/Notation.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/RuntimeFailure.h"
#include "services/Engine.h"
#include "services/RunContext.h"
#include "varsel/Window.h"

namespace fs = std::filesystem;

namespace varsel {

namespace {

constexpr const char* kCannotWrite = "Could not write to file (disk access error?)";

void AddLine(std::string& text, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text.push_back('\t');
        text += cells[i];
    }
    text += "\r\n";
}

std::string PositiveOrEmpty(float value) {
    return value > 0 ? ShortForm(value) : std::string();
}

// The whole file, in the order of its rows. The engine's three texts are asked for in the
// order of their lines.
std::string ResultsText(ProblemModel& m) {
    if (!m.Solver) throw RuntimeFailure(kEngineFailure, "The engine is not open");
    std::string text;
    AddLine(text, {m.Title});
    AddLine(text, {layout::kDatabase, m.Solver->GetDatabase()});
    AddLine(text, {layout::kSystem, m.Solver->GetSystemFile()});
    std::string options = m.Solver->GetOptions();
    StripModeSwitch(options);
    AddLine(text, {layout::kOptions, options});
    AddLine(text, {layout::kTemperature, ShortForm(m.TempC)});
    AddLine(text, {layout::kPressure, ShortForm(m.PressureBar)});
    AddLine(text, {layout::kPmc, ShortForm(m.FixedPmcCount), layout::kPotential});

    // The fixed p.m.c. in slot order: every slot that is not a per-sample column.
    for (int slot = 1; slot <= m.PmcSlots; ++slot) {
        bool perSample = false;
        for (int c = 1; c <= m.SamplePmcCount; ++c)
            perSample = perSample || m.SamplePmcSlot[c] == slot;
        if (perSample) continue;
        AddLine(text, {"", m.SystemInfo.SpeciesNames[slot], ShortForm(m.PmcPotential[slot])});
    }

    AddLine(text, {layout::kSpecies, ShortForm(m.SpeciesCount), layout::kInitial, layout::kResult,
                   " " + m.HalfWidthHeader});
    for (int j = 1; j <= m.SpeciesCount; ++j) {
        std::vector<std::string> cells = {"", m.SystemInfo.SpeciesNames[m.SpeciesIndex[j]],
                                          ShortForm(m.SpeciesInitial[j]),
                                          ShortForm(m.SpeciesValue[j])};
        if (m.SpeciesFree[j] && m.SpeciesInterval[j] > 0) {
            cells.push_back(PrintForm(m.SpeciesInterval[j]));
        } else if (!m.SpeciesFree[j] && !m.SpeciesIntervalText[j].empty()) {
            // A fixed species was not fitted: its half-width stays, in the form written above.
            const std::string& kept = m.SpeciesIntervalText[j];
            cells.push_back(IsNumeric(kept) ? PrintForm(ToFloat(kept)) : kept);
        }
        AddLine(text, cells);
    }

    const double weights = m.WeightSum;
    std::vector<std::string> meanErrors = {
        layout::kMeanError, "",
        ShortForm(std::sqrt(CheckedDivide(m.InitialSumOfSquares, weights)))};
    // A mean error the run did not reach leaves its cell empty, never 0.
    if (m.ResultReached) {
        meanErrors.push_back(ShortForm(std::sqrt(CheckedDivide(m.ResultSumOfSquares, weights))));
    }
    AddLine(text, meanErrors);
    AddLine(text, {layout::kXAxis, m.XAxis.Text});
    AddLine(text, {layout::kYAxis, m.YAxis.Text});
    AddLine(text, {});

    std::vector<std::string> header = {layout::kSample};
    for (int c = 1; c <= m.SamplePmcCount; ++c)
        header.push_back(m.SystemInfo.SpeciesNames[m.SamplePmcSlot[c]]);
    for (int f = 1; f <= m.FormulaCount; ++f)
        header.push_back(m.FormulaNames[f]);
    for (const char* cell : layout::kSampleHeaders)
        header.push_back(cell);
    AddLine(text, header);

    for (int s = 1; s <= m.SampleCount; ++s) {
        const SampleRec& sample = m.Samples[s];
        std::vector<std::string> cells = {sample.Name};
        for (int c = 1; c <= m.SamplePmcCount; ++c)
            cells.push_back(ShortForm(sample.Potentials[c]));
        for (int f = 1; f <= m.FormulaCount; ++f)
            cells.push_back(PositiveOrEmpty(sample.Amounts[f]));
        cells.push_back(PositiveOrEmpty(sample.Weight));
        for (float value : {sample.XFixed, sample.YExp, sample.YCalc, sample.Error})
            cells.push_back(ShortForm(value));
        if (sample.Extras != 0) cells.push_back(PrintForm(sample.Extras));
        AddLine(text, cells);
    }
    // The end row of the table: the file's own, with what stood below it, or an empty line.
    if (m.TextBelowTable.empty()) {
        AddLine(text, {});
    } else {
        text += m.TextBelowTable;
    }
    return text;
}

// The data file as the reader resolved it; throws when none was named.
fs::path DataFile(const ProblemModel& m) {
    if (m.DataFile.empty()) throw FileProblem{kPathAccessError, "no file is named"};
    return fs::path(m.DataFile);
}

// Room for the rewritten file: the file as it is now, and per sample the cells a run adds
// at most (X, Y (calc), error and extras: four numbers of up to 13 characters and a tab).
std::uintmax_t NeededBytes(const ProblemModel& m, const fs::path& file) {
    std::error_code error;
    std::uintmax_t size = fs::file_size(file, error);
    if (error) size = 0;
    return size + 56u * static_cast<std::uintmax_t>(std::max<int>(m.SampleCount, 0));
}

void Report(ProblemModel& m, IWindow* window, std::int16_t code, const std::string& text) {
    m.StatusCode = code;
    if (window != nullptr) {
        window->ShowMessage(text, MessageButtons::Ok, MessageIcon::Critical);
    }
}

}  // namespace

std::string SaveProblem(const ProblemModel& m, std::unique_ptr<FileReplacement>* reservation) {
    if (m.IsWorkbook) return std::string();
    fs::path file;
    try {
        file = ReplacedFile(DataFile(m));
        auto replacement = std::make_unique<FileReplacement>(file);
        replacement->Reserve(NeededBytes(m, file));
        if (reservation != nullptr) *reservation = std::move(replacement);
        return std::string();
    } catch (const FileProblem& problem) {
        return file.empty() ? problem.reason : PathAndReason(file.string(), problem.reason);
    }
}

void SaveResults(ProblemModel& m, RunContext& context,
                 std::unique_ptr<FileReplacement> reservation) {
    if (m.IsWorkbook) return;
    IWindow* window = context.Window;
    if (window != nullptr) window->SetStatusCaption("Saving results...");

    fs::path file;
    std::unique_ptr<FileReplacement> replacement = std::move(reservation);
    try {
        file = DataFile(m);
        if (!replacement) replacement = std::make_unique<FileReplacement>(ReplacedFile(file));
    } catch (const FileProblem& problem) {
        Report(m, window, 1,
               std::string(kCannotWrite) + ": " + PathAndReason(file.string(), problem.reason));
        return;
    }

    int number = 0;
    std::string reason;
    try {
        replacement->Commit(ResultsText(m));
        return;
    } catch (const FileProblem& problem) {
        number = problem.number;
        reason = problem.reason;
    } catch (const RuntimeFailure& failure) {
        number = failure.Number();
        reason = failure.what();
    } catch (const std::exception& failure) {
        number = kEngineFailure;
        reason = failure.what();
    } catch (...) {
        number = kDeviceIoError;
        reason = "unknown failure";
    }
    replacement.reset();
    Report(m, window, 2,
           "Error" + std::to_string(number) + " while writing results to the file: " +
               PathAndReason(file.string(), Printable(reason)));
}

void RemoveStaleTemporaries(const std::string& dataFile) {
    RemoveStaleReplacements(ReplacedFile(fs::path(dataFile)));
}

}  // namespace varsel
