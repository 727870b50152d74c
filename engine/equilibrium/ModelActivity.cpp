#include "engine/equilibrium/ModelActivity.h"

#include <algorithm>
#include <cstddef>

namespace varsel::engine::equilibrium {

ModelActivity::ModelActivity(std::unique_ptr<activity::ActivityModel> model,
                             const std::vector<Solute>& solutes)
    : model_(std::move(model)),
      molality_(solutes.size(), -1.0),
      scaled_(solutes.size(), 0.0),
      lnGamma_(solutes.size(), 0.0) {
    for (const Solute& s : solutes)
        charge_.push_back(s.Charge);
}

void ModelActivity::Evaluate(const EquilibriumConditions& c, const SolutionState& s) const {
    if (c.IgnoreLimits != ignoreLimits_) {
        model_->SetIgnoreLimits(c.IgnoreLimits);
        ignoreLimits_ = c.IgnoreLimits;
        temperature_ = -1;
    }
    if (c.TempK == temperature_ && c.PressureBar == pressure_ && s.IonicStrength == ionic_ &&
        std::equal(molality_.begin(), molality_.end(), s.Molality.begin(), s.Molality.end()))
        return;
    double ionic = 0;
    for (std::size_t j = 0; j < charge_.size(); ++j)
        ionic += 0.5 * charge_[j] * charge_[j] * s.Molality[j];
    const double scale = ionic > 0 && s.IonicStrength > 0 ? s.IonicStrength / ionic : 1.0;
    for (std::size_t j = 0; j < charge_.size(); ++j)
        scaled_[j] = scale * s.Molality[j];
    const activity::SolutionState state{c.TempK, c.PressureBar, c.WaterDensity, c.WaterEpsilon,
                                        scaled_};
    // Marked stale first: a model that throws leaves no half-updated cache behind.
    temperature_ = -1;
    model_->Evaluate(state, lnGamma_, lnWater_);
    std::copy(s.Molality.begin(), s.Molality.end(), molality_.begin());
    temperature_ = c.TempK;
    pressure_ = c.PressureBar;
    ionic_ = s.IonicStrength;
}

void ModelActivity::LnActivityCoefficients(const EquilibriumConditions& c, const SolutionState& s,
                                           std::span<double> lnGamma) const {
    Evaluate(c, s);
    std::copy(lnGamma_.begin(), lnGamma_.end(), lnGamma.begin());
}

double ModelActivity::LnWaterActivity(const EquilibriumConditions& c,
                                      const SolutionState& s) const {
    Evaluate(c, s);
    return lnWater_;
}

}  // namespace varsel::engine::equilibrium
