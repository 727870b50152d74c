#include "shell/report/SeriesText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace varsel::report {

ValueText WithHalfWidth(double value, double halfWidth) {
    char v[64], h[64];
    if (!(halfWidth > 0) || !std::isfinite(halfWidth)) {
        std::snprintf(v, sizeof v, "%.7g", value);
        return {v, "\xE2\x80\x93"};
    }
    const int decimals = std::clamp(3 - static_cast<int>(std::ceil(std::log10(halfWidth))), 0, 9);
    std::snprintf(v, sizeof v, "%.*f", decimals, value);
    std::snprintf(h, sizeof h, "%.*f", decimals, halfWidth);
    return {v, h};
}

std::vector<std::string> SeriesOutcomeLines(const SeriesSummary& s) {
    std::vector<std::string> lines;
    if (!s.Outcome.empty()) lines.push_back("The series fit failed: " + s.Outcome);
    char text[200];
    if (s.Filled) {
        std::snprintf(text, sizeof text,
                      "%s fit of %zu files: %zu parameters, chi-square %.4g on %d degrees of "
                      "freedom (probability of a larger one %.3g)",
                      s.Method == SeriesMethod::OneStep ? "One-step" : "Two-step", s.Files.size(),
                      s.Parameters.size(), s.ChiSquare, s.DegreesOfFreedom, s.Probability);
        lines.push_back(text);
    }
    std::snprintf(text, sizeof text, "%d iterations, %.2f s", s.Iterations, s.WallSeconds);
    lines.push_back(text);
    if (!s.OutputDatabase.empty()) lines.push_back("Database written: " + s.OutputDatabase);
    if (!s.OutputTable.empty()) lines.push_back("Table written: " + s.OutputTable);
    return lines;
}

}  // namespace varsel::report
