// The report's member on a measured pH that the fit imposed: the scale, the titrants, and per
// sample the pH and the titrant the engine added to meet it.
#pragma once

#include <nlohmann/json.hpp>

#include "varsel/FitSummary.h"

namespace varsel::json {

/// The "imposedPh" object of a summary whose fit imposed a pH (docs/report-json.md).
nlohmann::json ImposedPhDocument(const FitSummary& s);

}  // namespace varsel::json
