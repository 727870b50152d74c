// The JSON report of a fit summary, for scripts and notebooks.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "varsel/FitSummary.h"

namespace varsel::json {

/// The summary as a JSON document (an object).
nlohmann::json SummaryDocument(const FitSummary& s);

/// The document of `s` as the text of a report file.
std::string SummaryJson(const FitSummary& s);

}  // namespace varsel::json
