// An activity model of engine/activity behind the solver's activity interface. The solver's
// loop moves one number, the ionic strength the coefficients are taken at, towards the one
// of the solution it computes; these models need the whole composition instead. The
// coefficients are therefore taken at the molalities of the latest solution scaled to the
// loop's ionic strength (a uniform dilution or concentration of that solution): once the
// loop has settled, the scale is 1 and the coefficients are those of the solution itself.
// This keeps the loop's bracketed secant step, which also settles the concentrated brines
// where plain substitution of the coefficients runs away (near halite saturation ln γ± of
// NaCl grows faster than ln m).
//
// The loop's ionic strength is the one the model works with, Σ w_j m_j with a weight per
// solute: ½ z² for the true ionic strength (Pitzer), the ½ Σ ν z² of its free ions for an
// ion pair in the stoichiometric one (HKF81). Iterating on the true ionic strength instead
// would let the scale of the stoichiometric one drift with the share of ion pairs.
#pragma once

#include <memory>
#include <vector>

#include "engine/activity/ActivityModel.h"
#include "engine/equilibrium/SolutionActivity.h"

namespace varsel::engine::equilibrium {

class ModelActivity final : public SolutionActivity {
  public:
    /// Wraps `model`, prepared for the solutes in the order of `ionicWeight`, which holds
    /// each solute's contribution per mol/kg to the model's ionic strength.
    ModelActivity(std::unique_ptr<activity::ActivityModel> model, std::vector<double> ionicWeight);

    void LnActivityCoefficients(const EquilibriumConditions& c, const SolutionState& s,
                                std::span<double> lnGamma) const override;
    double LnWaterActivity(const EquilibriumConditions& c, const SolutionState& s) const override;
    double LoopIonicStrength(std::span<const double> molality, double trueIonic) const override;
    bool FollowsComposition() const override { return true; }

  private:
    // Evaluates the model at the state unless it was the last one evaluated.
    void Evaluate(const EquilibriumConditions& c, const SolutionState& s) const;

    std::unique_ptr<activity::ActivityModel> model_;
    std::vector<double> weight_;  // contribution per mol/kg to the model's ionic strength
    // The last evaluation: its inputs and results. The solver asks for the coefficients and
    // the water activity of the same state one after the other.
    mutable std::vector<double> molality_, scaled_, lnGamma_;
    mutable double temperature_ = -1, pressure_ = -1, ionic_ = -1, lnWater_ = 0;
    mutable bool ignoreLimits_ = false;
};

}  // namespace varsel::engine::equilibrium
