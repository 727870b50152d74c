#include "engine/activity/ActivityModel.h"

#include <cmath>
#include <cstdio>

#include "engine/water/DebyeHuckel.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::activity {

namespace {
std::string Show(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}
}  // namespace

DebyeHuckelSlopes SlopesOf(const WaterState& water) {
    const water::DebyeHuckel dh =
        water::DebyeHuckelParameters(water.Temperature, water.Density, water.Epsilon);
    return {dh.A, dh.B};
}

double OsmoticSigma(double x) {
    // The closed form loses its digits to cancellation for small x; the series
    // Σ 3 (k + 1)/(k + 3) (−x)^k serves there.
    if (x < 1e-2) {
        double sum = 0;
        double power = 1;
        for (int k = 0; k < 12; ++k) {
            sum += 3.0 * power * (k + 1) / (k + 3);
            power *= -x;
        }
        return sum;
    }
    return 3.0 / (x * x * x) * (1.0 + x - 1.0 / (1.0 + x) - 2.0 * std::log1p(x));
}

double WeightedIonicStrength(std::span<const double> weight, std::span<const double> molality) {
    double ionic = 0;
    for (std::size_t j = 0; j < weight.size(); ++j)
        ionic += weight[j] * molality[j];
    return ionic;
}

SolutionState ScaledToLoop(const SolutionState& state, std::span<const double> weight,
                           std::span<double> scaled) {
    if (!(state.IonicStrength > 0) || state.Molality.size() != weight.size() ||
        scaled.size() != weight.size())
        return state;
    const double ionic = WeightedIonicStrength(weight, state.Molality);
    const double scale = ionic > 0 ? state.IonicStrength / ionic : 1.0;
    for (std::size_t j = 0; j < weight.size(); ++j)
        scaled[j] = scale * state.Molality[j];
    return {state.Water, scaled, state.IonicStrength};
}

void CheckState(const char* model, const SolutionState& state, std::size_t solutes,
                std::size_t lnGammaSize) {
    // The message is only put together on failure: an evaluation allocates nothing.
    auto fail = [&](const std::string& why) {
        throw RuntimeFailure(kEngineFailure, std::string(model) + " activity model: " + why);
    };
    if (state.Molality.size() != solutes || lnGammaSize != solutes)
        fail("expected " + std::to_string(solutes) + " molalities and coefficients, got " +
             std::to_string(state.Molality.size()) + " and " + std::to_string(lnGammaSize));
    const WaterState& w = state.Water;
    if (!(w.Temperature > 0 && std::isfinite(w.Temperature)) ||
        !(w.Pressure > 0 && std::isfinite(w.Pressure)))
        fail("unusable state T = " + Show(w.Temperature) + " K, P = " + Show(w.Pressure) + " bar");
    for (std::size_t i = 0; i < solutes; ++i)
        if (!(state.Molality[i] >= 0 && std::isfinite(state.Molality[i])))
            fail("molality " + Show(state.Molality[i]) + " of solute " + std::to_string(i + 1) +
                 " is not a finite number of at least 0");
}

}  // namespace varsel::engine::activity
