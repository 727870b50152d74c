// The apparent Gibbs energy of water: its anchor at 25 °C and 1 bar.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/water/Water.h"

namespace varsel::engine::water {
namespace {

constexpr double kCalorie = 4.184;

// The anchor of the convention: ΔfG° = −56688 cal/mol and S° = 16.712 cal/(mol·K) at 25 °C and
// 1 bar (as SUPCRT92 prints them for H2O, e.g. in its sample table sktp1.tab).
TEST(ApparentGibbs, IsAnchoredAtTheReferenceState) {
    EXPECT_NEAR(ApparentGibbs(298.15, 1e5), -56688 * kCalorie, 1e-6);
    const WaterState s = StateAt(298.15, Density(298.15, 1e5));
    EXPECT_NEAR(s.Entropy, 16.712 * kCalorie, 1e-9);
    EXPECT_NEAR(ApparentGibbs(s), ApparentGibbs(298.15, 1e5), 1e-9);
}

}  // namespace
}  // namespace varsel::engine::water
