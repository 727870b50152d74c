#include "shell/report/SummaryText.h"

#include <cmath>
#include <cstdio>

namespace varsel::report {

std::string Fixed(double value, int decimals) {
    if (!std::isfinite(value)) return "\xE2\x80\x93";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Significant(double value) {
    if (!std::isfinite(value)) return "\xE2\x80\x93";
    char text[64];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

std::string HalfWidthText(double halfWidth) {
    return halfWidth > 0 ? "\xC2\xB1 " + Fixed(halfWidth, 3) : "not estimated";
}

std::vector<std::string> OutcomeLines(const FitSummary& s) {
    std::vector<std::string> lines;
    if (!s.Outcome.empty()) lines.push_back("The fit failed: " + s.Outcome);
    std::string errors = "Mean error: " + Fixed(s.MeanErrorBefore, 6) + " before";
    errors += s.HasMeanErrorAfter ? ", " + Fixed(s.MeanErrorAfter, 6) + " after"
                                  : std::string(", after: not reached");
    lines.push_back(errors);
    if (s.NothingToFit) {
        lines.push_back(
            "Nothing to fit: every species has a Result; empty a Result cell to fit it again");
    }
    char effort[160];
    std::snprintf(effort, sizeof effort, "%d iterations, %ld engine calculations, %.3g s",
                  s.Iterations, s.EngineCalculations, s.WallSeconds);
    lines.push_back(effort);
    return lines;
}

}  // namespace varsel::report
