// The B-dot activity model: its limiting law and its ḃ term.
#include "engine/equilibrium/ActivityModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varsel::engine::equilibrium {
namespace {

TEST(ActivityModel, LimitingLawAndBdotTerm) {
    const BdotParameters p{0.5109, 0.3287, 0.0418};
    // Dilute: log γ → −A z² √I.
    EXPECT_NEAR(LnGamma(p, 2, 5, 1e-8) / std::log(10.0), -0.5109 * 4 * 1e-4, 1e-7);
    EXPECT_EQ(LnGamma(p, 0, 0, 1.0), 0.0);
    // 1 m: the extended form by hand.
    const double expected = -0.5109 / (1 + 4 * 0.3287) + 0.0418;
    EXPECT_NEAR(LnGamma(p, -1, 4, 1.0) / std::log(10.0), expected, 1e-14);
}

}  // namespace
}  // namespace varsel::engine::equilibrium
