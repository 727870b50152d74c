// The text of a JSON report: number spellings, strings that are not UTF-8, and the layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json/JsonText.h"

namespace varsel::json {
namespace {

TEST(JsonTextTest, NumbersAreShortestAndReadBack) {
    EXPECT_EQ(ShortestDouble(1800), "1800");
    EXPECT_EQ(ShortestDouble(-0.0), "0");
    EXPECT_EQ(ShortestDouble(0.1), "0.1");
    EXPECT_EQ(ShortestDouble(0.000123), "0.000123");  // as long as 1.23e-04: plain wins
    EXPECT_EQ(ShortestDouble(1e-4), "1e-04");
    EXPECT_EQ(ShortestDouble(4.29e-8), "4.29e-08");
    EXPECT_EQ(ShortestDouble(1e16), "1e+16");  // beyond the exact integers
    EXPECT_EQ(ShortestDouble(double(-1.109f)), "-1.1089999675750732");
    EXPECT_EQ(ShortestDouble(1.5e300), "1.5e+300");
    for (double v : {0.1 + 0.2, -2.5e-300, 123456.789, std::numeric_limits<double>::max()})
        EXPECT_EQ(std::stod(ShortestDouble(v)), v);
}

TEST(JsonTextTest, LayoutEscapesAndBadBytes) {
    const nlohmann::json doc = {{"b", nlohmann::json::array()},
                                {"a", {1, std::nan(""), "q\"\\\t\x01 \xC3\xA9\xB1\xE2\x82"}}};
    EXPECT_EQ(JsonText(doc),
              "{\n    \"a\": [\n        1,\n        null,\n"
              "        \"q\\\"\\\\\\t\\u0001 \xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"\n"
              "    ],\n    \"b\": [\n    ]\n}\n");
}

}  // namespace
}  // namespace varsel::json
