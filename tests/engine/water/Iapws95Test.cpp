// IAPWS-95: the properties of single-phase states against the verification table of the IAPWS
// release, the density search against an independent implementation, the phase chosen near
// saturation, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "WaterTestSupport.h"
#include "engine/water/Helmholtz.h"
#include "engine/water/Water.h"
#include "model/RuntimeFailure.h"
#include "support/Raised.h"

namespace varsel::engine::water {
namespace {

constexpr double kR = detail::kSpecificGasConstant;

void ExpectRelative(double expected, double actual, double tolerance, const std::string& what) {
    EXPECT_NEAR(actual, expected, tolerance * std::abs(expected)) << what;
}

// IAPWS R6-95(2018), table 7: single-phase states given by T and ρ, including one next to the
// critical point (647 K, 358 kg/m³) where the non-analytic terms dominate. Speed of sound
// from w² = (cp/cv)(∂P/∂ρ)_T, specific entropy on the IAPWS-95 scale from (H − G)/T.
TEST(Iapws95, SinglePhaseStatesMatchTheReleaseTable) {
    struct Row {
        double T, rho, pMPa, cv, w, s;
    };
    const Row rows[] = {
        {300, 0.9965560e3, 0.992418352e-1, 0.413018112e1, 0.150151914e4, 0.393062643},
        {300, 0.1188202e4, 0.700004704e3, 0.346135580e1, 0.244357992e4, 0.132609616},
        {500, 0.4350000, 0.999679423e-1, 0.150817541e1, 0.548314253e3, 0.794488271e1},
        {500, 0.8380250e3, 0.100003858e2, 0.322106219e1, 0.127128441e4, 0.256690919e1},
        {647, 0.3580000e3, 0.220384756e2, 0.618315728e1, 0.252145078e3, 0.432092307e1},
        {900, 0.8707690e3, 0.700000006e3, 0.266422350e1, 0.201933608e4, 0.417223802e1}};
    for (const Row& row : rows) {
        const std::string at =
            "T = " + std::to_string(row.T) + ", rho = " + std::to_string(row.rho);
        const WaterState s = StateAt(row.T, row.rho);
        // The table gives nine significant digits.
        ExpectRelative(row.pMPa, s.Pressure * 1e-6, 5e-9, "pressure at " + at);
        ExpectRelative(row.cv, s.HeatCapacityV / kMolarMass * 1e-3, 5e-9, "cv at " + at);
        const double w =
            std::sqrt(s.HeatCapacityP / s.HeatCapacityV / (row.rho * s.Compressibility));
        ExpectRelative(row.w, w, 5e-9, "speed of sound at " + at);
        const double entropy = (s.Enthalpy - s.Gibbs) / row.T / kMolarMass * 1e-3;
        ExpectRelative(row.s, entropy, 5e-9, "entropy at " + at);
    }
}

// Every density of the reference grid (an independent IAPWS-95 implementation), liquid,
// vapour and supercritical, to 1e-6. The saturated-liquid rows give a pressure rounded to 8
// digits, which may fall just below the saturation pressure: there the liquid is asked for.
TEST(Iapws95, DensityMatchesTheReferenceGrid) {
    const auto rows = test::ReadReferenceGrid();
    ASSERT_EQ(rows.size(), 50u);
    for (const auto& row : rows) {
        const double T = row.TemperatureC + 273.15;
        const double P = row.PressureBar * 1e5;
        const double rho = Density(T, P, row.Saturated ? Phase::Liquid : Phase::Stable);
        ExpectRelative(row.Density, rho, 1e-6,
                       "t = " + std::to_string(row.TemperatureC) + " C, P = " +
                           std::to_string(row.PressureBar) + " bar (" + row.Phase + ")");
    }
}

// Below the critical temperature the stable root switches from vapour to liquid at the
// saturation pressure; either root can be asked for on the metastable side.
TEST(Iapws95, PhaseFollowsTheSaturationPressure) {
    for (double T : {280.0, 373.15, 500.0, 640.0}) {
        const double psat = SaturationPressure(T);
        const SaturationDensities sat = SaturationDensity(T);
        ExpectRelative(sat.Liquid, Density(T, psat * (1 + 1e-9)), 1e-7, "liquid above psat");
        ExpectRelative(sat.Vapour, Density(T, psat * (1 - 1e-9)), 1e-7, "vapour below psat");
        ExpectRelative(sat.Liquid, Density(T, psat), 1e-7, "liquid at psat");
        // Metastable: superheated liquid and supersaturated vapour 0.2 % beyond saturation
        // (at 640 K the liquid spinodal lies only 2 % below the saturation pressure).
        const double liquid = Density(T, 0.998 * psat, Phase::Liquid);
        const double vapour = Density(T, 1.002 * psat, Phase::Vapour);
        EXPECT_LT(liquid, sat.Liquid);
        EXPECT_GT(vapour, sat.Vapour);
        ExpectRelative(0.998 * psat, StateAt(T, liquid).Pressure, 1e-7, "metastable liquid");
        ExpectRelative(1.002 * psat, StateAt(T, vapour).Pressure, 1e-7, "metastable vapour");
    }
    // Far from saturation the phase argument is only a preference that cannot be met.
    EXPECT_THROW(Density(300, 1e7, Phase::Vapour), RuntimeFailure);  // above the spinodal
    EXPECT_THROW(Density(640, 1e7, Phase::Liquid), RuntimeFailure);  // below the spinodal
}

// Over the whole accepted range every stable density is found and reproduces the pressure.
// The grid crosses the saturation curve, the critical region, the unstable part of the
// isotherms with its spurious loops, and the high-pressure ends.
TEST(Iapws95, DensitySearchCoversTheWholeRange) {
    int count = 0;
    for (double T = kMinimumTemperature; T <= kMaximumTemperature; T *= 1.0231) {
        for (double logP = 0; logP <= 9; logP += 0.173) {
            const double P = std::pow(10.0, logP);
            double rho = 0;
            ASSERT_NO_THROW(rho = Density(T, P)) << "T = " << T << " K, P = " << P << " Pa";
            ASSERT_TRUE(std::isfinite(rho) && rho > 0) << "T = " << T << ", P = " << P;
            // A liquid at a pressure far below ρRT carries rounding noise in P itself: P is
            // ρRT(1 + δφʳ_δ) with 1 + δφʳ_δ a small difference of terms near 1e3.
            const double noise = 1e-12 * rho * kR * T;
            ASSERT_NEAR(StateAt(T, rho).Pressure, P, 1e-9 * P + noise)
                << "T = " << T << ", P = " << P;
            ++count;
        }
    }
    EXPECT_GT(count, 4000);
    // Next to the critical point, on both sides and through it.
    for (double T :
         {kCriticalTemperature - 1e-3, kCriticalTemperature, kCriticalTemperature + 1e-3})
        for (double P : {kCriticalPressure * 0.999, kCriticalPressure, kCriticalPressure * 1.001}) {
            const double rho = Density(T, P);
            EXPECT_NEAR(StateAt(T, rho).Pressure, P, 1e-7 * P) << "T = " << T << ", P = " << P;
        }
}

// Values outside the range or not numbers are refused with a message naming them.
TEST(Iapws95, RefusesStatesOutsideTheRange) {
    const varsel::test::Raised raised = varsel::test::RaisedBy([] { Density(10000, 1e5); });
    EXPECT_EQ(raised.Number, kEngineFailure);
    EXPECT_NE(raised.Text.find("T = 10000 K and P = 100000 Pa"), std::string::npos) << raised.Text;
    for (double P : {-1e5, 0.0, 2e9, std::nan(""), HUGE_VAL})
        EXPECT_THROW(Density(300, P), RuntimeFailure) << P;
    for (double T : {100.0, std::nan(""), 3000.0})
        EXPECT_THROW(Density(T, 1e5), RuntimeFailure) << T;
    for (double rho : {0.0, -1.0, std::nan(""), HUGE_VAL})
        EXPECT_THROW(StateAt(300, rho), RuntimeFailure) << rho;
    EXPECT_THROW(DensityDerivativesAt(300, 0), RuntimeFailure);
    // An unstable state has no density derivatives along an isobar.
    EXPECT_THROW(DensityDerivativesAt(500, 500), RuntimeFailure);
}

}  // namespace
}  // namespace varsel::engine::water
