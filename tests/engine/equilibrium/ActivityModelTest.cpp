// The B-dot activity model: its limits and the consistency of the osmotic term.
#include "engine/equilibrium/ActivityModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varsel::engine::equilibrium {
namespace {

TEST(ActivityModel, SigmaSeriesMeetsTheClosedForm) {
    EXPECT_DOUBLE_EQ(OsmoticSigma(0), 1.0);
    for (double x : {0.0099, 0.01, 0.02}) {
        const double closed = 3 / (x * x * x) * (1 + x - 1 / (1 + x) - 2 * std::log1p(x));
        EXPECT_NEAR(OsmoticSigma(x), closed, 1e-9);
    }
    EXPECT_NEAR(OsmoticSigma(1.0), 3 * (1.5 - 2 * std::log(2.0)), 1e-15);
}

TEST(ActivityModel, LimitingLawAndBdotTerm) {
    const BdotParameters p{0.5109, 0.3287, 0.0418};
    // Dilute: log γ → −A z² √I.
    EXPECT_NEAR(LnGamma(p, 2, 5, 1e-8) / std::log(10.0), -0.5109 * 4 * 1e-4, 1e-7);
    EXPECT_EQ(LnGamma(p, 0, 0, 1.0), 0.0);
    // 1 m: the extended form by hand.
    const double expected = -0.5109 / (1 + 4 * 0.3287) + 0.0418;
    EXPECT_NEAR(LnGamma(p, -1, 4, 1.0) / std::log(10.0), expected, 1e-14);
}

TEST(ActivityModel, WaterActivityIsConsistentWithGibbsDuhem) {
    // For one 1:1 salt at molality m (I = m): d ln a_w = −(2/55.50843)(1 + d ln γ±/d ln m) dm,
    // the Gibbs-Duhem relation. Integrate numerically and compare with the closed form used by
    // the solver, −(2m/55.50843) φ.
    const BdotParameters p{0.5109, 0.3287, 0.0418};
    const double a = 4.0;
    auto lnGamma = [&](double m) { return LnGamma(p, 1, a, m); };
    auto closed = [&](double m) {
        const double root = std::sqrt(m);
        const double ln10 = std::log(10.0);
        const double phi =
            1 - ln10 * p.A * root / 3 * OsmoticSigma(a * p.B * root) + 0.5 * ln10 * p.Bdot * m;
        return -2 * m * phi / kWaterMolesPerKg;
    };
    double integral = 0;
    const int steps = 200000;
    const double top = 3.0;
    for (int i = 0; i < steps; ++i) {
        const double m = (i + 0.5) * top / steps;
        const double h = 1e-6 * m;
        const double slope = (lnGamma(m + h) - lnGamma(m - h)) / (2 * h);
        integral += -(2 / kWaterMolesPerKg) * (1 + m * slope) * top / steps;
    }
    EXPECT_NEAR(closed(top), integral, 1e-6);
}

}  // namespace
}  // namespace varsel::engine::equilibrium
