// Step shaping and acceleration of the fit: the logarithmic shortening of long steps and
// the multiplier of a step that repeats itself.
#include <gtest/gtest.h>

#include <cmath>

#include "model/RuntimeFailure.h"
#include "optim/StepControl.h"

namespace varsel {
namespace {

Array1<double> Shaped(std::initializer_list<double> x) {
    const auto n = static_cast<std::int16_t>(x.size());
    Array2<double> solution(n, n);
    int i = 1;
    for (double v : x)
        solution(i++, 0) = v;
    Array1<double> d(n);
    ShapeStep(n, solution, d);
    return d;
}

TEST(StepControlTest, LongStepsAreShortenedLogarithmically) {
    // Below length 1 the direction stays and the length becomes ln(1 + |x|).
    const Array1<double> half = Shaped({0.3, 0.4});
    EXPECT_NEAR(std::hypot(half[1], half[2]), std::log(1.5), 1e-15);
    EXPECT_NEAR(half[1] / half[2], 0.75, 1e-15);
    // From length 1 on each component is shaped on its own.
    const Array1<double> three = Shaped({3, 0});
    EXPECT_DOUBLE_EQ(three[1], std::log(4.0));
    EXPECT_EQ(three[2], 0.0);
    const Array1<double> ones = Shaped({1, -1});
    EXPECT_DOUBLE_EQ(ones[1], std::log(2.0));
    EXPECT_DOUBLE_EQ(ones[2], -std::log(2.0));
    const Array1<double> zero = Shaped({0, 0});
    EXPECT_EQ(zero[1], 0.0);
    EXPECT_EQ(zero[2], 0.0);
}

TEST(StepControlTest, RepeatedStepsAccelerateAndAnyChangeResets) {
    EXPECT_EQ(NextMultiplier(0, 0.0, 0.0, 1.0), 1) << "the first step";
    EXPECT_EQ(NextMultiplier(1, 1.0, 0.5, 0.5), 2);
    EXPECT_EQ(NextMultiplier(2, 0.9995, 0.5, 0.50049), 3);
    EXPECT_EQ(NextMultiplier(3, 0.999, 0.5, 0.5), 1) << "the cosine test is strict";
    EXPECT_EQ(NextMultiplier(3, 1.0, 1.0, 1.0021), 1);
    EXPECT_EQ(NextMultiplier(3, -1.0, 0.5, 0.5), 1);
    EXPECT_THROW(NextMultiplier(32767, 1.0, 1.0, 1.0), RuntimeFailure);
}

}  // namespace
}  // namespace varsel
