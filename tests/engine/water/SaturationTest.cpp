// The saturation curve: the equilibrium conditions themselves along the whole curve (with the
// single-phase states checked against the release, they fix the curve), and the ends of the
// range.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/water/Water.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::water {
namespace {

// Along the whole curve, up to a hundredth of a kelvin below the critical point, the two
// phases have the same pressure and the same Gibbs energy, and the liquid is the denser.
TEST(Saturation, PhasesAreInEquilibriumAlongTheCurve) {
    double previous = 0;
    for (double T = 273.15; T < kCriticalTemperature; T += (T < 640 ? 7.3 : 0.3)) {
        const double p = SaturationPressure(T);
        const SaturationDensities d = SaturationDensity(T);
        const WaterState liquid = StateAt(T, d.Liquid);
        const WaterState vapour = StateAt(T, d.Vapour);
        EXPECT_GT(d.Liquid, kCriticalDensity) << T;
        EXPECT_LT(d.Vapour, kCriticalDensity) << T;
        EXPECT_NEAR(vapour.Pressure, p, 1e-10 * p) << T;
        EXPECT_NEAR(liquid.Pressure, p, 1e-8 * p + 1e-13 * d.Liquid * T * 461.5) << T;
        EXPECT_NEAR(liquid.Gibbs, vapour.Gibbs, 1e-9 * (std::abs(vapour.Gibbs) + 1e3)) << T;
        EXPECT_GT(p, previous) << T;
        previous = p;
    }
    for (double below : {1e-2, 1e-4}) {
        const double T = kCriticalTemperature - below;
        const SaturationDensities d = SaturationDensity(T);
        EXPECT_NEAR(StateAt(T, d.Liquid).Gibbs, StateAt(T, d.Vapour).Gibbs, 1e-6) << T;
        EXPECT_LT(SaturationPressure(T), kCriticalPressure) << T;
    }
    // At the critical point both densities meet.
    const SaturationDensities c = SaturationDensity(kCriticalTemperature);
    EXPECT_EQ(c.Liquid, kCriticalDensity);
    EXPECT_EQ(c.Vapour, kCriticalDensity);
    EXPECT_NEAR(SaturationPressure(kCriticalTemperature), kCriticalPressure,
                1e-4 * kCriticalPressure);
}

// The curve runs from 0 °C to the critical temperature.
TEST(Saturation, RefusesTemperaturesOffTheCurve) {
    EXPECT_NO_THROW(SaturationPressure(kSaturationMinimumTemperature));
    for (double T : {273.0, 647.2, 1000.0, std::nan(""), -HUGE_VAL}) {
        EXPECT_THROW(SaturationPressure(T), RuntimeFailure) << T;
        EXPECT_THROW(SaturationDensity(T), RuntimeFailure) << T;
    }
}

}  // namespace
}  // namespace varsel::engine::water
