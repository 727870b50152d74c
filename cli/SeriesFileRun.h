// A series file on the command line (recognised by its "Files:" row): the data files it lists
// are read and fitted with a line of progress each, then the parameters of the series fit
// are printed as a table and written as a database entry and a table row.
#pragma once

#include <cstdio>
#include <string>

#include "varsel/Stop.h"

namespace varsel::cli {

struct SeriesFileRun {
    std::string SeriesFile;
    bool IgnoreLimits = false;
    /// Fit and show, but write neither the database nor the table.
    bool NoSave = false;
    /// Where the report is written (.json, .html, .png, .svg, .pdf); empty: none.
    std::string Report;
};

/// Runs the series and returns the exit code: 0 when it was fitted (and written, unless
/// NoSave), 1 when it was refused or failed or the report could not be written.
int RunSeriesFile(const SeriesFileRun& run, std::FILE* out, StopToken stop = {});

}  // namespace varsel::cli
