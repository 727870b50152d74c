// One run of the command line: the data file named on it goes through the whole sequence
// (read, fit, save) with the thermodynamic engine, and workbooks through LibreOffice Calc
// when its backend is built. Progress and messages are printed as the console window shows
// them, then the summary of a saved fit.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "UncertaintyOptions.h"
#include "varsel/Stop.h"

namespace varsel::cli {

struct DataFileRun {
    /// The data file, as named on the command line.
    std::string DataFile;
    /// Every argument after the program's name, where the "/ie" switch is looked for.
    std::vector<std::string> Arguments;
    /// The answer to the save question after a failed fit.
    bool SaveOnFailure = false;
    /// Fit and show the results without writing them into the data file.
    bool NoSave = false;
    /// Where the summary of the run is written (.json, .html, .png, .svg, .pdf); empty: none.
    std::string Report;
    /// Profile intervals and a bootstrap after a successful fit.
    UncertaintyRequest Uncertainty;
};

/// Runs the data file and returns the exit code: 0 when the results were saved after a
/// successful fit (or, with NoSave, shown), 1 when a failure was reported, the run stopped
/// after a message, the report could not be written or the intervals asked for could not be
/// estimated. Before the fit the run checks that
/// the results can be written, and stops with the reason when they cannot, unless NoSave is
/// set. `stop` ends the fit between two engine calls, as a failed fit ends.
int RunDataFile(const DataFileRun& run, std::FILE* out, StopToken stop = {});

}  // namespace varsel::cli
