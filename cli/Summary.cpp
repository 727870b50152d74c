#include "Summary.h"

#include <cmath>
#include <string>

#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "optim/FitSummary.h"

namespace varsel::cli {

void PrintSummary(std::FILE* out) {
    const ProblemModel& m = Model();
    std::fprintf(out, "Fitted species (kJ/mol, 95 %% half-width):\n");
    bool any = false;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (!m.SpeciesFree[i]) continue;
        any = true;
        const std::string name = m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]];
        const std::string value = ShortForm(m.SpeciesValue[i]);
        const std::string interval = m.SpeciesInterval[i] > 0
                                         ? "\xC2\xB1 " + ShortForm(m.SpeciesInterval[i])
                                         : "(no interval)";
        std::fprintf(out, "  %-12s %14s  %s\n", name.c_str(), value.c_str(), interval.c_str());
    }
    if (!any) std::fprintf(out, "  (none free)\n");
    if (m.WeightSum > 0) {
        const double before = std::sqrt(m.InitialSumOfSquares / static_cast<double>(m.WeightSum));
        const double after = std::sqrt(m.ResultSumOfSquares / static_cast<double>(m.WeightSum));
        std::fprintf(out, "Mean error: %s before, %s after\n", FixedSix(before).c_str(),
                     FixedSix(after).c_str());
    }
    for (const std::string& flag : LastFitSummary().Flags)
        std::fprintf(out, "Note: %s\n", flag.c_str());
}

}  // namespace varsel::cli
