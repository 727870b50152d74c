// The extended Debye-Hückel model of Helgeson, Kirkham & Flowers (1981, Am. J. Sci. 281,
// 1249-1516, equation 298) for NaCl-dominated solutions:
//   log γ_j = −A_γ z_j² √Ī / (1 + å B_γ √Ī) + Γ_γ + b_γ,j Ī                 (ions),
//   b_γ,j = ω_abs,j b_NaCl + b_Na+Cl- − 0.19 (|z_j| − 1),  ω_abs,j = ω_j + z_j ω_abs,H+,
//   Γ_γ = −log(1 + M_w Σ m)   (mole-fraction to molality conversion),
//   log γ_n = 0.1 Ī                                                          (neutral species),
// with the stoichiometric ionic strength Ī (ion pairs counted dissociated), one ion size
// å = 3.72 Å (the paper's value for NaCl-dominated solutions), ω_abs,H+ = 0.5387e5 cal/mol,
// and A_γ, B_γ, b_NaCl, b_Na+Cl- from the paper's tables (Hkf81Tables.h). The water activity
// follows from these γ by the Gibbs-Duhem equation integrated along uniform dilution:
//   ln a_w = −M_w Σ m φ,
//   Σ m φ = Σ m − (ln10 A √Ī/3) σ(åB√Ī) Σ_ions m z² + ½ ln10 Ī Σ m b
//           − (Σ_ions m / (M_w Σ m)) [X − ln(1 + X)],   X = M_w Σ m,
// with σ the function of the B-dot model and b = b_γ,j for ions, 0.1 for neutral species.
#pragma once

#include <vector>

#include "engine/activity/ActivityModel.h"
#include "engine/activity/Hkf81Tables.h"

namespace varsel::engine::activity {

/// ω_abs of H+ (cal/mol) that converts the conventional Born coefficients to absolute ones.
inline constexpr double kOmegaAbsHydrogen = 0.5387e5;
/// Ion size å (Å) of NaCl-dominated solutions.
inline constexpr double kHkf81IonSize = 3.72;

class Hkf81Model final : public ActivityModel {
  public:
    /// Prepares the model for the solutes; charged solutes need their conventional ω.
    explicit Hkf81Model(std::vector<Solute> solutes);

    void Evaluate(const SolutionState& state, std::span<double> lnGamma,
                  double* lnWaterActivity) override;
    /// The stoichiometric ionic strength Ī.
    double LoopIonicStrength(std::span<const double> molality, double trueIonic) const override;
    bool FollowsComposition() const override { return true; }
    DielectricChoice Dielectric() const override { return DielectricChoice::Iapws; }
    const char* Name() const override { return "hkf81"; }
    void SetIgnoreLimits(bool ignore) override {
        ignoreLimits_ = ignore;
        cachedTemperature_ = -1;
    }

  private:
    std::vector<Solute> solutes_;
    std::vector<double> omegaAbs_;   // ω_abs of each solute, cal/mol (0 for neutral species)
    std::vector<double> weight_;     // contribution per mol/kg to the stoichiometric Ī
    std::vector<double> scaled_;     // the molalities scaled to the loop's Ī
    double cachedTemperature_ = -1;  // state of `parameters_` (the table look-up needs the
    double cachedPressure_ = -1;     // saturation pressure above 100 °C)
    Hkf81Parameters parameters_;
    bool ignoreLimits_ = false;
};

}  // namespace varsel::engine::activity
