// The ideal solution: γ = 1 for every solute and a_w = 1 (for tests and teaching).
#pragma once

#include <algorithm>

#include "engine/activity/ActivityModel.h"

namespace varsel::engine::activity {

class IdealModel final : public ActivityModel {
  public:
    void Evaluate(const SolutionState&, std::span<double> lnGamma,
                  double* lnWaterActivity) override {
        std::fill(lnGamma.begin(), lnGamma.end(), 0.0);
        if (lnWaterActivity) *lnWaterActivity = 0.0;
    }
    DielectricChoice Dielectric() const override { return DielectricChoice::Options; }
    const char* Name() const override { return "ideal"; }
};

}  // namespace varsel::engine::activity
