#include "engine/equilibrium/IonPairs.h"

#include <cmath>
#include <cstddef>

namespace varsel::engine::equilibrium {

namespace {

bool Combines(const Solute& pair, const Solute& c, int nc, const Solute& a, int na) {
    if (std::fabs(nc * c.Charge + na * a.Charge - pair.Charge) > 1e-9) return false;
    for (std::size_t e = 0; e < pair.Elements.size(); ++e)
        if (std::fabs(nc * c.Elements[e] + na * a.Elements[e] - pair.Elements[e]) > 1e-9)
            return false;
    return true;
}

}  // namespace

std::optional<IonPair> IonPairOf(const EquilibriumProblem& problem, int j) {
    const auto& solutes = problem.Solutes;
    const Solute& pair = solutes[static_cast<std::size_t>(j)];
    const int n = static_cast<int>(solutes.size());
    for (int c = 0; c < n; ++c) {
        if (c == j || !(solutes[c].Charge > 0)) continue;
        for (int a = 0; a < n; ++a) {
            if (a == j || !(solutes[a].Charge < 0)) continue;
            for (int nc = 1; nc <= 3; ++nc)
                for (int na = 1; na <= 3; ++na)
                    if (Combines(pair, solutes[c], nc, solutes[a], na))
                        return IonPair{c, a, nc, na};
        }
    }
    return std::nullopt;
}

double DissociatedIonicStrength(const EquilibriumProblem& problem, const IonPair& pair) {
    const double zc = problem.Solutes[static_cast<std::size_t>(pair.Cation)].Charge;
    const double za = problem.Solutes[static_cast<std::size_t>(pair.Anion)].Charge;
    return 0.5 * (pair.CationCount * zc * zc + pair.AnionCount * za * za);
}

}  // namespace varsel::engine::equilibrium
