// The apparent Gibbs energy of water: its anchor at 25 °C and 1 bar and its derivatives.
#include <gtest/gtest.h>

#include <cmath>

#include "WaterTestSupport.h"
#include "engine/water/Water.h"

namespace varsel::engine::water {
namespace {

constexpr double kCalorie = 4.184;

// The anchor of the convention: ΔfG° = −56688 cal/mol and S° = 16.712 cal/(mol·K) at 25 °C and
// 1 bar (as SUPCRT92 prints them for H2O, e.g. in its sample table sktp1.tab).
TEST(ApparentGibbs, IsAnchoredAtTheReferenceState) {
    EXPECT_NEAR(ApparentGibbs(298.15, 1e5), -56688 * kCalorie, 1e-6);
    EXPECT_NEAR(ApparentGibbs(298.15, 1e5) * 1e-3, -237.18, 0.005);
    const WaterState s = StateAt(298.15, Density(298.15, 1e5));
    EXPECT_NEAR(s.Entropy, 16.712 * kCalorie, 1e-9);
    EXPECT_NEAR(ApparentGibbs(s), ApparentGibbs(298.15, 1e5), 1e-9);
}

// G(T, P) is a Gibbs energy: (∂G/∂T)_P = −S on the third-law scale and (∂G/∂P)_T = V, in the
// liquid, the vapour and the supercritical fluid.
TEST(ApparentGibbs, DerivativesAreEntropyAndVolume) {
    const struct {
        double T, P;
    } states[] = {{298.15, 1e5}, {373.15, 1e8}, {523.15, 1e5}, {773.15, 2e8}, {1273.15, 5e8}};
    for (const auto& st : states) {
        const WaterState s = StateAt(st.T, Density(st.T, st.P));
        const double dGdT =
            test::Derivative([&](double T) { return ApparentGibbs(T, st.P); }, st.T, 1e-3);
        const double dGdP = test::Derivative([&](double P) { return ApparentGibbs(st.T, P); }, st.P,
                                             test::PressureStep(st.P, s.Density));
        EXPECT_NEAR(dGdT, -s.Entropy, 1e-6 * s.Entropy) << st.T << " K, " << st.P << " Pa";
        EXPECT_NEAR(dGdP, kMolarMass / s.Density, 1e-6 * kMolarMass / s.Density)
            << st.T << " K, " << st.P << " Pa";
    }
}

}  // namespace
}  // namespace varsel::engine::water
