// The JSON report's text: numbers stored as 32-bit floats are spelled as the shortest decimal
// of the float, a number that is not finite is null, and a title that is not UTF-8 still
// gives a valid UTF-8 file.
#include <gtest/gtest.h>

#include <cmath>

#include "json/SummaryJson.h"

namespace varsel::json {
namespace {

TEST(JsonTextTest, FloatsAreShortestAndTheTextIsValid) {
    FitSummary s;
    s.Title =
        "Solubility at 25 \xB0"
        "C";  // a Latin-1 degree sign
    s.Species = {{"AgCl,aq", static_cast<double>(-1.109f), 0.0}};
    s.Samples = {{"s1", 0.0, static_cast<double>(-6.37f), 0, 0, 1111}};
    s.Correlation = {{std::nan("")}};
    const std::string text = SummaryJson(s);
    EXPECT_NE(text.find("\"value\": -1.109\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"yExp\": -6.37\n"), std::string::npos);
    EXPECT_NE(text.find("Solubility at 25 \xEF\xBF\xBD"
                        "C"),
              std::string::npos);
    const nlohmann::json document = nlohmann::json::parse(text);
    EXPECT_TRUE(document["correlation"]["matrix"][0][0].is_null());
    EXPECT_TRUE(document["species"][0]["halfWidth95"].is_null());
}

}  // namespace
}  // namespace varsel::json
