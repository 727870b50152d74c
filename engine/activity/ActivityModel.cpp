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

DebyeHuckelSlopes SlopesOf(const SolutionState& state) {
    const water::DebyeHuckel dh =
        water::DebyeHuckelParameters(state.Temperature, state.WaterDensity, state.Epsilon);
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

void CheckState(const char* model, const SolutionState& state, std::size_t solutes,
                std::size_t lnGammaSize) {
    // The message is only put together on failure: an evaluation allocates nothing.
    auto fail = [&](const std::string& why) {
        throw RuntimeFailure(kEngineFailure, std::string(model) + " activity model: " + why);
    };
    if (state.Molality.size() != solutes || lnGammaSize != solutes)
        fail("expected " + std::to_string(solutes) + " molalities and coefficients, got " +
             std::to_string(state.Molality.size()) + " and " + std::to_string(lnGammaSize));
    if (!(state.Temperature > 0 && std::isfinite(state.Temperature)) ||
        !(state.Pressure > 0 && std::isfinite(state.Pressure)))
        fail("unusable state T = " + Show(state.Temperature) + " K, P = " + Show(state.Pressure) +
             " bar");
    for (std::size_t i = 0; i < solutes; ++i)
        if (!(state.Molality[i] >= 0 && std::isfinite(state.Molality[i])))
            fail("molality " + Show(state.Molality[i]) + " of solute " + std::to_string(i + 1) +
                 " is not a finite number of at least 0");
}

}  // namespace varsel::engine::activity
