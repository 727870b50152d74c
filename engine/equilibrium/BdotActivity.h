// The B-dot activity model (ActivityModel.h: Helgeson 1969) behind the solver's activity
// interface: activity coefficients of the extended Debye-Hückel equation from each solute's
// charge and ion size, and the water activity from the osmotic coefficient of the solution.
// The parameters A, B and ḃ at the temperature and pressure of a calculation come with its
// conditions.
#pragma once

#include <vector>

#include "engine/equilibrium/SolutionActivity.h"

namespace varsel::engine::equilibrium {

class BdotActivity final : public SolutionActivity {
  public:
    explicit BdotActivity(const std::vector<Solute>& solutes);

    void LnActivityCoefficients(const EquilibriumConditions& c, const SolutionState& s,
                                std::span<double> lnGamma) const override;
    double LnWaterActivity(const EquilibriumConditions& c, const SolutionState& s) const override;

  private:
    std::vector<double> charge_;
    std::vector<double> ionSize_;  // å, Å
};

}  // namespace varsel::engine::equilibrium
