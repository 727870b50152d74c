#include "output/ResultsWriter.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "model/Checked.h"
#include "model/Layout.h"
#include "model/Notation.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/RuntimeFailure.h"
#include "services/Engine.h"
#include "services/Platform.h"
#include "services/Window.h"

namespace fs = std::filesystem;

namespace varsel {

namespace {

constexpr const char* kCannotWrite = "Could not write to file (disk access error?)";

// A failure while the results are being written, with the number the message shows.
struct WriteFailure {
    int number;
};

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
    if (m.ResultSumOfSquares != 0) {
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
    AddLine(text, {});
    return text;
}

// The file that is replaced: a symbolic link is followed, so that the link stays a link.
fs::path TargetOf(const fs::path& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        const fs::path target = fs::weakly_canonical(path, error);
        if (!error) return target;
    }
    return path;
}

// True when an existing file may be written (opening it for update changes nothing).
bool Writable(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(path, error)) return !error;
    std::FILE* probe = std::fopen(path.string().c_str(), "r+b");
    if (probe == nullptr) return false;
    std::fclose(probe);
    return true;
}

// Creates a new temporary file beside `target`; null when the folder refuses it.
std::FILE* CreateTemporary(const fs::path& target, fs::path& temporary) {
    std::random_device seed;
    std::mt19937 generator(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = target.filename().string();
        name.insert(0, 1, '.');
        name += ".saving-";
        name += std::to_string(generator() % 1000000000u);
        temporary = target;
        temporary.replace_filename(name);
        // "x": fail rather than reuse a file that happens to exist.
        if (std::FILE* file = std::fopen(temporary.string().c_str(), "wbx")) return file;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

void WriteAll(std::FILE* file, const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fflush(file) != 0) {
        throw WriteFailure{errno != 0 ? errno : kDeviceIoError};
    }
}

void Replace(const fs::path& temporary, const fs::path& target) {
    std::error_code error;
    const fs::file_status previous = fs::status(target, error);
    if (!error && fs::exists(previous)) {
        fs::permissions(temporary, previous.permissions(), fs::perm_options::replace, error);
        if (error) throw WriteFailure{error.value()};
    }
    fs::rename(temporary, target, error);
    if (error) throw WriteFailure{error.value()};
}

void Report(ProblemModel& m, std::int16_t code, const std::string& text) {
    m.StatusCode = code;
    if (IWindow* window = ThePlatform().Window) {
        window->ShowMessage(text, MessageButtons::Ok, MessageIcon::Critical);
    }
}

}  // namespace

void SaveResults() {
    ProblemModel& m = Model();
    if (m.IsWorkbook) return;
    IWindow* window = ThePlatform().Window;
    if (window != nullptr) window->SetStatusCaption("Saving results...");

    fs::path target;
    fs::path temporary;
    std::FILE* file = nullptr;
    try {
        if (window == nullptr) throw WriteFailure{kPathAccessError};
        target = TargetOf(fs::path(m.WorkFolder + window->PathText()));
        if (!Writable(target)) throw WriteFailure{kPathAccessError};
        file = CreateTemporary(target, temporary);
        if (file == nullptr) throw WriteFailure{kPathAccessError};
    } catch (...) {
        Report(m, 1, kCannotWrite);
        return;
    }

    int number = 0;
    try {
        WriteAll(file, ResultsText(m));
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0) throw WriteFailure{errno != 0 ? errno : kDeviceIoError};
        Replace(temporary, target);
        return;
    } catch (const WriteFailure& failure) {
        number = failure.number;
    } catch (const RuntimeFailure& failure) {
        number = failure.Number();
    } catch (const std::exception&) {
        number = kEngineFailure;
    } catch (...) {
        number = kDeviceIoError;
    }
    if (file != nullptr) std::fclose(file);
    std::error_code ignored;
    fs::remove(temporary, ignored);
    Report(m, 2, "Error" + std::to_string(number) + " while writing results to the file");
}

}  // namespace varsel
