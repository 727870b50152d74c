#include "engine/equilibrium/BdotActivity.h"

#include "engine/activity/ActivityModel.h"
#include "engine/equilibrium/ActivityModel.h"

#include <cmath>
#include <cstddef>

namespace varsel::engine::equilibrium {

BdotActivity::BdotActivity(const std::vector<Solute>& solutes) {
    for (const Solute& s : solutes) {
        charge_.push_back(s.Charge);
        ionSize_.push_back(s.IonSize);
    }
}

void BdotActivity::LnActivityCoefficients(const EquilibriumConditions& c, const SolutionState& s,
                                          std::span<double> lnGamma) const {
    for (std::size_t j = 0; j < charge_.size(); ++j)
        lnGamma[j] = LnGamma(c.Activity, charge_[j], ionSize_[j], s.IonicStrength);
}

double BdotActivity::LnWaterActivity(const EquilibriumConditions& c, const SolutionState& s) const {
    // ln a_w = −(Σm φ)/55.50843 with
    // Σm φ = Σm − (ln10 A √I / 3) Σ_ions m z² σ(å B √I) + ½ ln10 ḃ I Σ_ions m.
    constexpr double kLn10 = 2.302585092994046;
    const BdotParameters& p = c.Activity;
    const double ionic = s.IonicStrength;
    double total = 0, ions = 0;
    for (std::size_t j = 0; j < charge_.size(); ++j) {
        total += s.Molality[j];
        if (charge_[j] != 0) ions += s.Molality[j];
    }
    const double root = std::sqrt(ionic);
    double sigmaSum = 0;
    for (std::size_t j = 0; j < charge_.size(); ++j) {
        const double z = charge_[j];
        if (z != 0)
            sigmaSum += s.Molality[j] * z * z * activity::OsmoticSigma(ionSize_[j] * p.B * root);
    }
    const double osmotic =
        total - kLn10 * p.A * root / 3.0 * sigmaSum + 0.5 * kLn10 * p.Bdot * ionic * ions;
    return -osmotic / kWaterMolesPerKg;
}

}  // namespace varsel::engine::equilibrium
