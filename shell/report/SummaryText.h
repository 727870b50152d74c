// The words and numbers of a fit summary as the results view and the HTML report show them.
#pragma once

#include <string>
#include <vector>

#include "varsel/FitSummary.h"

namespace varsel::report {

/// `value` with `decimals` decimals; "–" when it is not finite.
std::string Fixed(double value, int decimals);

/// `value` with seven significant digits.
std::string Significant(double value);

/// "± 1.234", or "not estimated" for a zero half-width.
std::string HalfWidthText(double halfWidth);

/// How the run ended, its mean errors and its effort, one line each.
std::vector<std::string> OutcomeLines(const FitSummary& s);

}  // namespace varsel::report
