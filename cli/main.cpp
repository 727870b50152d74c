// varsel-cli: the command-line twin of the Varsel window. It runs the whole sequence (read,
// fit, save) on one data file (a text file, or a workbook run in LibreOffice Calc) with the
// thermodynamic engine, prints the progress and every message the window would show, and
// ends with a short summary of the fit.
//
// Exit codes: 0 the results were saved after a successful fit, 1 a failure was reported (or
// the run stopped after a message), 2 bad usage, 130 and 143 a run stopped by SIGINT or
// SIGTERM (it ends in order, as after a failed fit: --save-on-failure decides on saving).
#include <CLI/CLI.hpp>

#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleWindow.h"
#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/Engine.h"
#include "services/Platform.h"
#include "services/StopRequest.h"
#include "shell/InfoLabels.h"
#include "shell/RunSequence.h"

#ifdef VARSEL_HAVE_ENGINE
#include "engine/EngineFactory.h"
#endif
#ifdef VARSEL_HAVE_UNO
#include "services/uno/CalcConnector.h"
#endif

namespace {

bool IsIgnoreLimitsSwitch(const std::string& argument) {
    std::string lower = argument;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "/ie";
}

// Position (from 1) of the switch in the arguments joined by blanks, as the window takes it
// from its command line. Only a whole argument counts: on this platform a path holds
// slashes, and "data/ieq.txt" must not lift the limits.
std::int16_t IgnoreLimitsPosition(const std::vector<std::string>& arguments) {
    std::size_t position = 1;
    for (const std::string& argument : arguments) {
        if (IsIgnoreLimitsSwitch(argument)) {
            return static_cast<std::int16_t>(position > 32767 ? 32767 : position);
        }
        position += argument.size() + 1;
    }
    return 0;
}

volatile std::sig_atomic_t stopSignal = 0;

// Only async-signal-safe work: two stores. The run sees the request before its next sample.
extern "C" void OnStopSignal(int signal) {
    stopSignal = signal;
    varsel::RequestStop();
}

void CatchStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void PrintSummary(std::FILE* out) {
    const varsel::ProblemModel& m = varsel::Model();
    std::fprintf(out, "Fitted species (kJ/mol, 95 %% half-width):\n");
    bool any = false;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (!m.SpeciesFree[i]) continue;
        any = true;
        const std::string name = m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]];
        const std::string value = varsel::ShortForm(m.SpeciesValue[i]);
        const std::string interval = m.SpeciesInterval[i] > 0
                                         ? "\xC2\xB1 " + varsel::ShortForm(m.SpeciesInterval[i])
                                         : "(no interval)";
        std::fprintf(out, "  %-12s %14s  %s\n", name.c_str(), value.c_str(), interval.c_str());
    }
    if (!any) std::fprintf(out, "  (none free)\n");
    if (m.WeightSum > 0) {
        const double before = std::sqrt(m.InitialSumOfSquares / static_cast<double>(m.WeightSum));
        const double after = std::sqrt(m.ResultSumOfSquares / static_cast<double>(m.WeightSum));
        std::fprintf(out, "Mean error: %s before, %s after\n", varsel::FixedSix(before).c_str(),
                     varsel::FixedSix(after).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    CatchStopSignals();
    CLI::App app{
        "Fits standard energies of aqueous species to the samples of a data file and "
        "writes the results back into it.",
        "varsel-cli"};
    bool saveOnFailure = false;
    bool version = false;
    std::vector<std::string> positionals;
    app.add_flag("--save-on-failure", saveOnFailure,
                 "after a failed fit, save the values reached (answers Yes to the save question)");
    app.add_flag("--version", version, "print the program's name, version and authors");
    app.add_option("DATAFILE", positionals,
                   "the data file (.txt, or a workbook .xls, .xlsx or .ods), optionally "
                   "followed by /ie to lift the temperature, pressure and density limits");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : 2;
    }
    if (version) {
        std::printf("%s\n%s\n", varsel::NfoCaption().c_str(), varsel::CrtCaption().c_str());
        return 0;
    }

    std::vector<std::string> files;
    for (const std::string& argument : positionals) {
        if (!IsIgnoreLimitsSwitch(argument)) files.push_back(argument);
    }
    if (files.size() != 1 || files[0].empty()) {
        std::fprintf(stderr, "usage: varsel-cli [--save-on-failure] DATAFILE [/ie]\n");
        return 2;
    }
    const std::string& dataFile = files[0];

#ifdef VARSEL_HAVE_ENGINE
    varsel::engine::EngineFactory engine;
#else
    std::fprintf(stderr, "varsel-cli: this build has no thermodynamic engine\n");
    return 1;
#endif

    varsel::SetDecimalSeparator(varsel::DecimalSeparatorFromLocale());
    varsel::ProblemModel& m = varsel::Model();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    m.IgnoreLimits = IgnoreLimitsPosition(arguments);

    // The window holds the file name; the folder becomes the working folder.
    const std::filesystem::path path(dataFile);
    std::string folder = path.parent_path().string();
    if (folder.empty()) folder = std::filesystem::current_path().string();
    if (folder.back() != varsel::FolderSeparator()) folder.push_back(varsel::FolderSeparator());
    m.WorkFolder = folder;

    varsel::cli::ConsoleWindow window(stdout, saveOnFailure);
    window.SetPathText(path.filename().string());
    varsel::ThePlatform().Window = &window;
#ifdef VARSEL_HAVE_ENGINE
    varsel::ThePlatform().Engine = &engine;
#endif
#ifdef VARSEL_HAVE_UNO
    const auto spreadsheet = varsel::MakeCalcConnector();
    varsel::ThePlatform().Spreadsheet = spreadsheet.get();
#endif

    varsel::RunSequence();

    if (window.Saved()) PrintSummary(stdout);
    const bool success = m.StatusCode == 0 && window.Saved() && !window.FailureShown();
    varsel::ThePlatform() = varsel::Platform();
    if (stopSignal != 0) return 128 + stopSignal;
    return success ? 0 : 1;
}
