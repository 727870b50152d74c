// The words and numbers of a series fit as the command line, the results view and the report
// files show them: each value with as many decimals as its half-width makes meaningful, and
// the lines that say how the fit went.
#pragma once

#include <string>
#include <vector>

#include "varsel/Series.h"

namespace varsel::report {

/// A value and its half-width with the same decimals: three significant digits of the
/// half-width (seven of the value when the half-width is 0).
struct ValueText {
    std::string Value, HalfWidth;
};
ValueText WithHalfWidth(double value, double halfWidth);

/// How the series fit went: its outcome, the method, χ² with its degrees of freedom and
/// probability, the effort, and the files written; one line each.
std::vector<std::string> SeriesOutcomeLines(const SeriesSummary& s);

}  // namespace varsel::report
