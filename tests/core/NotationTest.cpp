// The options text (the mode switch and the option-flag word) and the axis notation.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "model/Notation.h"
#include "model/ProblemModel.h"
#include "services/EngineContract.h"
#include "support/TableThermo.h"

namespace varsel {
namespace {

TEST(OptionsText, ModeSwitchIsStrippedAndFlagsCountAsWholeWords) {
    const struct {
        const char *Text, *Engine;
        int Flags;
    } cases[] = {{"/wp /mode=3 /ew", "/wp  /ew", 16389},
                 {"/MODE=2", "", 16384},
                 {"/mode=12", "2", 16384},
                 {"", "", 16384},
                 {"/W p/BL", "/W p/BL", 16387},
                 {"/wpx wp /ew/", "/wpx wp /ew/", 16388}};
    for (const auto& c : cases) {
        std::string text = c.Text;
        StripModeSwitch(text);
        EXPECT_EQ(text, c.Engine) << c.Text;
        EXPECT_EQ(OptionFlagWord(text), c.Flags) << c.Text;
    }
    EXPECT_EQ(std::log(kWaterMolesPerKg), kLnWaterMolesPerKg);
}

class AxisTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto thermo = std::make_unique<test::TableThermo>();
        thermo->ElementCodes = {{"Na", 11}, {"Cl", 17}, {"O", 8}, {"H", 1}, {"Au", 79}};
        m.Thermo = std::move(thermo);
        SystemInfo& info = m.SystemInfo;
        info.ElementCount = 4;
        info.ElementCodes.Redim(4);
        info.SpeciesNames.Redim(6);
        const std::int16_t codes[] = {0, 8, 1, 11, 17};
        const char* names[] = {"", "O2,g", "H2O", "H2O", "Na+", "Cl-", "NaCl,aq"};
        for (int i = 1; i <= 6; ++i) {
            info.SpeciesNames[i] = names[i];
            if (i <= 4) info.ElementCodes[i] = codes[i];
        }
        m.AqFirst = 3;
        m.AqLast = 6;
    }

    // Parses `text` into a fresh axis; returns the status code.
    int Parse(std::string text, AxisDef& axis) {
        m.StatusCode = 0;
        ParseAxis(m, text, axis);
        parsedText = text;
        return m.StatusCode;
    }
    ProblemModel m;
    std::string parsedText;
};

TEST_F(AxisTest, MalformedDefinitionsAndElementsOutsideTheSystem) {
    for (const char* bad : {"Fixed", "fix", "A(Na+)", "a(Na+", "a()", "a( )", "aNa+)", "m[Cl]",
                            "a(O2,g)", "", "a(na+)", "m(Au)", "m(Xx)"}) {
        AxisDef fresh;
        EXPECT_EQ(Parse(bad, fresh), 18) << bad;
    }
    AxisDef partial;
    // Kind and text are set before the check.
    EXPECT_EQ((std::tuple{Parse("a(Na+", partial), partial.Kind, partial.Text}),
              std::tuple(18, AxisDef::kSpecies, "a(Na+"));
}

}  // namespace
}  // namespace varsel
