// The activity model of the aqueous solution as the equilibrium solver sees it: from the
// molalities of the solutes and the conditions of the calculation (temperature, pressure and
// the properties of water there), the natural logarithms of every solute's activity
// coefficient (molal scale) and of the water activity. The solver's activity loop calls
// nothing else of a model, so that a further model needs only this class implemented.
#pragma once

#include <span>

#include "engine/equilibrium/EquilibriumProblem.h"

namespace varsel::engine::equilibrium {

/// The state of the solution a model is evaluated at.
struct SolutionState {
    std::span<const double> Molality;  ///< of every solute in System order, mol/kg
    /// Ionic strength the coefficients are taken at, mol/kg: the model's ionic strength of the
    /// molalities (LoopIonicStrength) once the activity loop has settled, the loop's current
    /// estimate of it before.
    double IonicStrength = 0;
};

class SolutionActivity {
  public:
    virtual ~SolutionActivity() = default;

    /// ln γ of every solute (one entry of `lnGamma` per solute).
    virtual void LnActivityCoefficients(const EquilibriumConditions& c, const SolutionState& s,
                                        std::span<double> lnGamma) const = 0;

    /// ln a_w of the solvent.
    virtual double LnWaterActivity(const EquilibriumConditions& c,
                                   const SolutionState& s) const = 0;

    /// The ionic strength the model's coefficients depend on, which the activity loop
    /// iterates on, for the molalities of a computed solution whose true ionic strength
    /// ½ Σ m z² is `trueIonic`: that one unless the model works with another (the
    /// stoichiometric ionic strength, which counts an ion pair as its free ions).
    virtual double LoopIonicStrength(std::span<const double> molality, double trueIonic) const {
        (void)molality;
        return trueIonic;
    }

    /// Whether the coefficients depend on the composition beyond the ionic strength, so that
    /// the activity loop extrapolates them as well as following the ionic strength.
    virtual bool FollowsComposition() const { return false; }
};

}  // namespace varsel::engine::equilibrium
