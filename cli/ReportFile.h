// The report file of varsel-cli --report: the summary of the run just made, written as the
// file name's ending asks (.json, .html, .png, .svg, .pdf). The plots are drawn by Qt on its
// offscreen platform, so the command line needs no display.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "varsel/FitSummary.h"

namespace varsel::cli {

/// Writes the report of a run's fit to `path`; false (with a line on `out`) when the run
/// reached no pass or the file could not be written.
bool WriteReportFile(const std::string& path, const FitSummary& summary, std::FILE* out);

/// Runs `write` (which sets its argument to the reason when it fails) with a Qt application
/// on the offscreen platform, and says on `out` whether the report at `path` was written.
bool WriteWithQt(const std::string& path, const std::function<bool(std::string&)>& write,
                 std::FILE* out);

}  // namespace varsel::cli
