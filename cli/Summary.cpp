#include "Summary.h"

#include <string>

#include "varsel/Numbers.h"

namespace varsel::cli {

void PrintSummary(const FitSummary& summary, std::FILE* out) {
    std::fprintf(out, "Fitted species (kJ/mol, 95 %% half-width):\n");
    // Values and half-widths are stored as 32-bit floats and shown as the data file has them.
    for (const FittedValue& v : summary.Species) {
        const std::string value = ShortForm(static_cast<float>(v.Value));
        const std::string interval = v.HalfWidth > 0
                                         ? "\xC2\xB1 " + ShortForm(static_cast<float>(v.HalfWidth))
                                         : "(no interval)";
        std::fprintf(out, "  %-12s %14s  %s\n", v.Name.c_str(), value.c_str(), interval.c_str());
    }
    if (summary.Species.empty()) std::fprintf(out, "  (none free)\n");
    if (summary.HasWeights) {
        const std::string after = summary.HasMeanErrorAfter
                                      ? FixedSix(summary.MeanErrorAfter) + " after"
                                      : std::string("after: not reached");
        std::fprintf(out, "Mean error: %s before, %s\n", FixedSix(summary.MeanErrorBefore).c_str(),
                     after.c_str());
    }
    for (const std::string& flag : summary.Flags)
        std::fprintf(out, "Note: %s\n", flag.c_str());
}

}  // namespace varsel::cli
