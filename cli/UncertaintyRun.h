// The intervals that varsel-cli estimates after a successful run when --profile or
// --bootstrap asks: the data file read again at the run's optimum, the profiles and the
// bootstrap on all cores (or --threads), progress lines every tenth of the work, then a table
// of every interval beside the linear half-width, what each rests on, and the disagreements.
#pragma once

#include <cstdio>
#include <string>

#include "UncertaintyOptions.h"
#include "uncertainty/Uncertainty.h"
#include "varsel/FitSummary.h"
#include "varsel/Stop.h"

namespace varsel::cli {

/// Estimates the intervals of the run's fitted species from the text data file at `path`
/// and prints them to `out`. False, with a line saying why, when the file cannot be read
/// again, the fit or every interval failed, or `stop` asked; `result` holds what there is.
bool EstimateIntervals(const UncertaintyRequest& request, const std::string& path,
                       bool ignoreLimits, const FitSummary& run, std::FILE* out, StopToken stop,
                       uncertainty::Result& result);

}  // namespace varsel::cli
