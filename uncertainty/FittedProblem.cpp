#include "uncertainty/FittedProblem.h"

#include <stdexcept>
#include <vector>

namespace varsel::uncertainty {

Problem ReopenAtFit(const std::string& path, bool ignoreLimits, const FitSummary& run) {
    OpenOptions options;
    options.IgnoreLimits = ignoreLimits;
    Problem problem = Problem::Open(path, options);
    const std::vector<SpeciesEntry> species = problem.Species();
    for (const FittedValue& fitted : run.Species) {
        bool found = false;
        for (std::size_t i = 0; i < species.size() && !found; ++i) {
            if (species[i].Name != fitted.Name) continue;
            problem.SetSpecies(static_cast<int>(i), fitted.Value, fitted.Value, true);
            found = true;
        }
        if (!found) {
            throw std::runtime_error(fitted.Name + " is no longer a species of " + path);
        }
    }
    return problem;
}

}  // namespace varsel::uncertainty
