// Numbers in data-file cells: the numeric test, the conversions, and the writer's spellings,
// with either decimal separator.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

#include "model/Numbers.h"
#include "model/RuntimeFailure.h"
#include "support/Raised.h"

namespace varsel {
namespace {

class NumbersTest : public ::testing::TestWithParam<char> {
  protected:
    void SetUp() override { SetDecimalSeparator(GetParam()); }
    void TearDown() override { SetDecimalSeparator('.'); }
    // A text written with '.' turned into the separator under test.
    std::string L(std::string text) const {
        for (char& c : text) {
            if (c == '.') c = GetParam();
        }
        return text;
    }
};

TEST_P(NumbersTest, NumericTestAcceptsSignDigitsSeparatorExponent) {
    for (const char* text : {"0", "-1", "+2", "3.", ".5", "-.5", "1.25", "1E5", "1e-07", "2.5E+3",
                             " 7 ", "  -0.001  ", "00012"}) {
        EXPECT_TRUE(IsNumeric(L(text))) << text;
    }
    for (const char* text :
         {"",   " ",   "-",   "+",    ".",   "E5",  "1E",   "1e+", "1..2", "1.2.3", "--1",
          "1-", "abc", "1 2", "0x10", "inf", "nan", "1,5,", "5%",  "1d3",  "1.5,2"}) {
        EXPECT_FALSE(IsNumeric(L(text))) << text;
    }
}

TEST_P(NumbersTest, ConvertsToNearestFloat) {
    // Either separator reads, whichever the locale writes; 1e-999 is below the double range.
    EXPECT_EQ(std::tuple(ToFloat("0.5"), ToFloat("0,5")), std::tuple(0.5f, 0.5f));
    // clang-format off
    const std::pair<const char*, float> floats[] = {
        {"-131.2", -131.2f}, {" 0.1 ", 0.1f}, {"+1.5e3", 1500.0f},
        {"3.4028234e38", std::numeric_limits<float>::max()}, {"1e-60", 0.0f}, {"1e-999", 0.0f}};
    // clang-format on
    for (const auto& [text, value] : floats)
        EXPECT_EQ(ToFloat(L(text)), value) << text;
    for (const char* text : {"1e39", "9e999"})
        EXPECT_EQ(test::RaisedBy([&] { ToFloat(L(text)); }).Number, kOverflow) << text;
    EXPECT_EQ(test::RaisedBy([] { ToFloat("x"); }).Number, kTypeMismatch);
}

TEST_P(NumbersTest, CountsRoundHalfToEvenAndOverflow) {
    // clang-format off
    const std::pair<const char*, int> counts[] = {
        {"8", 8}, {"2.5", 2}, {"3.5", 4}, {"-0.4", 0}, {"32767", 32767}, {"-32768", -32768}};
    // clang-format on
    for (const auto& [text, count] : counts)
        EXPECT_EQ(ToInt16(L(text)), count) << text;
    for (const char* text : {"32768", "1e9", ""})
        EXPECT_THROW(ToInt16(L(text)), RuntimeFailure) << text;
}

TEST_P(NumbersTest, ShortFormSpellings) {
    // clang-format off
    const std::pair<float, const char*> floats[] = {
        {0.0f, "0"}, {-0.0f, "0"}, {-131.2f, "-131.2"}, {25.0f, "25"}, {0.05f, "0.05"},
        {1e-7f, "1E-07"}, {12345678.0f, "1.234568E+07"}, {1e7f, "1E+07"}, {9999999.0f, "9999999"},
        {0.00001f, "0.00001"}, {0.000001f, "1E-06"}, {-2.5e-20f, "-2.5E-20"}, {3e38f, "3E+38"},
        {1.0f / 3.0f, "0.3333333"}};
    // clang-format on
    for (const auto& [value, text] : floats)
        EXPECT_EQ(ShortForm(value), L(text)) << text;
    EXPECT_EQ(ShortForm(55.50843), L("55.50843"));
    EXPECT_EQ(ShortForm(0.1 + 0.2), L("0.3"));  // 15 significant digits at most
    EXPECT_EQ(ShortForm(1.0 / 3.0), L("0.333333333333333"));
    EXPECT_EQ(ShortForm(1e15), "1E+15");
    EXPECT_EQ(ShortForm(std::int16_t{-32768}), "-32768");
    EXPECT_EQ(PrintForm(0.05f), L(" 0.05 "));
    EXPECT_EQ(PrintForm(std::int16_t{3}), " 3 ");
    EXPECT_EQ(FixedSix(0.0123456789), L("0.012346"));
    EXPECT_EQ(FixedSix(12.5), L("12.500000"));
    EXPECT_THROW(ShortForm(std::numeric_limits<float>::quiet_NaN()), RuntimeFailure);
}

INSTANTIATE_TEST_SUITE_P(Separators, NumbersTest, ::testing::Values('.', ','),
                         [](const auto& info) {
                             return info.param == '.' ? std::string("Point") : std::string("Comma");
                         });

}  // namespace
}  // namespace varsel
