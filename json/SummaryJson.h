// The JSON report of a fit summary, for scripts and notebooks: a top-level object whose
// members docs/report-json.md lists. A computation that adds to the report (a profile, a
// series) adds one member of its own to the object SummaryDocument returns.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "varsel/FitSummary.h"

namespace varsel::json {

/// The layout version of the document; raised when a member changes meaning or goes away
/// (adding a member does not raise it).
inline constexpr int kSchemaVersion = 1;

/// The summary as a JSON document (an object).
nlohmann::json SummaryDocument(const FitSummary& s);

/// The document of `s` as the text of a report file.
std::string SummaryJson(const FitSummary& s);

}  // namespace varsel::json
