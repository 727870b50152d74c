#include "engine/equilibrium/ModelActivity.h"

#include <algorithm>
#include <cstddef>

namespace varsel::engine::equilibrium {

ModelActivity::ModelActivity(std::unique_ptr<activity::ActivityModel> model,
                             std::vector<double> ionicWeight)
    : model_(std::move(model)),
      weight_(std::move(ionicWeight)),
      molality_(weight_.size(), -1.0),
      scaled_(weight_.size(), 0.0),
      lnGamma_(weight_.size(), 0.0) {}

double ModelActivity::LoopIonicStrength(std::span<const double> molality, double) const {
    double ionic = 0;
    for (std::size_t j = 0; j < weight_.size(); ++j)
        ionic += weight_[j] * molality[j];
    return ionic;
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
    const double ionic = LoopIonicStrength(s.Molality, 0.0);
    const double scale = ionic > 0 && s.IonicStrength > 0 ? s.IonicStrength / ionic : 1.0;
    for (std::size_t j = 0; j < weight_.size(); ++j)
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
