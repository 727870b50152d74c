// varsel-cli: the command-line twin of the Varsel window. It runs the whole sequence (read,
// fit, save) on one data file (a text file, or a workbook run in LibreOffice Calc) with the
// thermodynamic engine, prints the progress and every message the window would show, and
// ends with a short summary of the fit; --report writes the summary to a file as well.
//
// A series file (one with a "Files:" row) is fitted as a series instead: the HKF parameters of
// its species over all the data files it lists, written as a database entry (docs/series.md).
//
// Before the fit it checks that the results can be written into the data file, and stops with
// the reason when they cannot, unless --no-save asks for the fit without writing.
//
// Exit codes: 0 the results were saved after a successful fit (or, with --no-save, shown), 1 a
// failure was reported (or the run stopped after a message), 2 bad usage, 130 and 143 a run
// stopped by SIGINT or SIGTERM (it ends in order, as after a failed fit: --save-on-failure
// decides on saving).
#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "DataFileRun.h"
#include "IgnoreLimits.h"
#include "SeriesFileRun.h"
#include "shell/InfoLabels.h"
#include "varsel/Series.h"
#include "varsel/Stop.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;
// The one run of the process, which SIGINT and SIGTERM stop.
varsel::StopSource stopSource;

// Only async-signal-safe work: two stores. The run sees the request before its next sample.
extern "C" void OnStopSignal(int signal) {
    stopSignal = signal;
    stopSource.Request();
}

void CatchStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    CatchStopSignals();
    CLI::App app{
        "Fits standard energies of aqueous species to the samples of a data file and "
        "writes the results back into it.",
        "varsel-cli"};
    bool saveOnFailure = false;
    bool noSave = false;
    bool version = false;
    std::string report;
    std::vector<std::string> positionals;
    app.add_flag("--save-on-failure", saveOnFailure,
                 "after a failed fit, save the values reached (answers Yes to the save question)");
    app.add_flag("--no-save", noSave,
                 "fit and show the results without writing them into the data file");
    app.add_option("--report", report,
                   "write the fit's summary to FILE: .json, .html (tables and plots), or the "
                   "plots as .png, .svg or .pdf")
        ->option_text("FILE");
    app.add_flag("--version", version, "print the program's name, version and authors");
    app.add_option("DATAFILE", positionals,
                   "the data file (.txt, or a workbook .xls, .xlsx or .ods) or a series file (a "
                   ".txt with a Files: row), optionally followed by /ie to lift the "
                   "temperature, pressure and density limits");
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
        if (!varsel::cli::IsIgnoreLimitsSwitch(argument)) files.push_back(argument);
    }
    if (files.size() != 1 || files[0].empty()) {
        std::fprintf(stderr,
                     "usage: varsel-cli [--save-on-failure] [--no-save] [--report FILE] "
                     "DATAFILE [/ie]\n");
        return 2;
    }

    if (varsel::IsSeriesFile(files[0])) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        const varsel::cli::SeriesFileRun series{
            files[0], varsel::cli::IgnoreLimitsPosition(arguments) != 0, noSave, report};
        const int status = varsel::cli::RunSeriesFile(series, stdout, stopSource.Token());
        return stopSignal != 0 ? 128 + stopSignal : status;
    }

    varsel::cli::DataFileRun run;
    run.DataFile = files[0];
    run.Arguments.assign(argv + 1, argv + argc);
    run.SaveOnFailure = saveOnFailure;
    run.NoSave = noSave;
    run.Report = report;
    const int status = varsel::cli::RunDataFile(run, stdout, stopSource.Token());
    // A signal that came once the results were saved (during the save, or the report) took
    // nothing from the run: it ends as the run did.
    if (stopSignal != 0 && status != 0) return 128 + stopSignal;
    return status;
}
