// The intervals of a fit in its JSON report: per fitted species "linear", "profile" (joint and
// individual, [lo, hi] with null for an end that is unbounded or was not found) and
// "bootstrap" ({"lo", "hi"}), and at the top "bootstrap" ({"replicates", "failed", "seed"})
// and "intervals" (the weights' convention, the scale, the thresholds, the method lines, the
// notes). docs/report-json.md lists them.
#pragma once

#include <nlohmann/json.hpp>

#include "uncertainty/Uncertainty.h"

namespace varsel::json {

/// Adds the intervals to `document`, a summary's document (SummaryDocument) of the same fit.
void AddIntervals(nlohmann::json& document, const uncertainty::Result& r);

}  // namespace varsel::json
