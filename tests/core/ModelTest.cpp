// The problem model's building blocks: arrays used from index 1 with checked bounds, 16-bit
// counts whose overflow is an error.
#include <gtest/gtest.h>

#include <tuple>

#include "model/Arrays.h"
#include "model/Checked.h"
#include "model/RuntimeFailure.h"
#include "support/Raised.h"

namespace varsel {
namespace {

int FailureNumberOf(const auto& action) {
    return test::RaisedBy(action).Number;
}

TEST(ArraysTest, BoundsAreCheckedAndGrowthKeepsContents) {
    Array1<float> values;
    EXPECT_EQ(values.Upper(), -1);
    values.Redim(3);
    EXPECT_EQ(values.Upper(), 3);
    EXPECT_EQ(values[3], 0.0f);
    values[3] = 2.5f;
    EXPECT_EQ(FailureNumberOf([&] { values[4] = 1; }), kSubscriptOutOfRange);
    EXPECT_EQ(FailureNumberOf([&] { values[-1] = 1; }), kSubscriptOutOfRange);
    values.RedimPreserve(5);
    EXPECT_EQ(std::tuple(values[3], values[5]), std::tuple(2.5f, 0.0f));
    values.Redim(5);
    EXPECT_EQ(values[3], 0.0f) << "creating anew clears";
    EXPECT_EQ(FailureNumberOf([&] { values.Redim(32768); }), kOverflow);

    Array2<float> grid(2, 0);
    grid(1, 0) = 7;
    grid(2, 0) = 8;
    grid.RedimPreserve(2, 3);  // grows by columns, as the formula table does
    EXPECT_EQ(std::tuple(grid(1, 0), grid(2, 0), grid(2, 3)), std::tuple(7.0f, 8.0f, 0.0f));
    EXPECT_EQ(FailureNumberOf([&] { grid(3, 0) = 1; }), kSubscriptOutOfRange);
    EXPECT_EQ(FailureNumberOf([&] { grid(0, 4) = 1; }), kSubscriptOutOfRange);
}

TEST(CheckedTest, SixteenBitCountsOverflowInsteadOfWrapping) {
    std::int16_t count = 32766;
    CheckedAdd(count, 1);
    EXPECT_EQ(count, 32767);
    EXPECT_EQ(FailureNumberOf([&] { CheckedAdd(count, 1); }), kOverflow);
    EXPECT_EQ(count, 32767);
    EXPECT_EQ(FailureNumberOf([] { (void)CheckedInt16(-32769); }), kOverflow);
    EXPECT_EQ(FailureNumberOf([] { (void)CheckedDivide(1.0, 0.0); }), kDivisionByZero);
    EXPECT_EQ(FailureNumberOf([] { (void)ToStoredFloat(1e300); }), kOverflow);
    EXPECT_EQ(FailureNumberOf([] { (void)Finite(std::nan("")); }), kInvalidOperation);
}

}  // namespace
}  // namespace varsel
