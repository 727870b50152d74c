// The options text (mode switch and flag word) and the axis notation.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "model/Notation.h"
#include "model/ProblemModel.h"
#include "support/TableThermo.h"

namespace varsel {
namespace {

std::string Stripped(std::string text) {
    StripModeSwitch(text);
    return text;
}

TEST(OptionsTest, ModeSwitchIsRemovedOnceAndTheFlagWordCountsWholeSwitchWords) {
    // clang-format off
    const std::pair<const char*, const char*> stripped[] = {
        {"/wp /mode=3 /ew", "/wp  /ew"}, {"/MODE=2", ""}, {"/mode=12", "2"}, {"", ""},
        {"  /bl  ", "  /bl  "}, {"/mode=", ""}, {"/mode=1/Mode=2", "/Mode=2"}};
    // Blanks are removed before words are found; a flag needs its slash.
    const std::pair<const char*, int> words[] = {
        {"/wp  /ew", 16389}, {"", 16384}, {"/WP/Bl/eW", 16384 + 7}, {"/wpx", 16384},
        {"/w p", 16385}, {"wp", 16384}, {"/x=1 /bl", 16386}};
    // clang-format on
    for (const auto& [text, expected] : stripped)
        EXPECT_EQ(Stripped(text), expected) << text;
    for (const auto& [text, expected] : words)
        EXPECT_EQ(OptionFlagWord(text), expected) << text;
}

class AxisTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetModel();
        ProblemModel& m = Model();
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
    void TearDown() override { ResetModel(); }

    // Parses `text` into a fresh axis; returns the status code.
    int Parse(std::string text, AxisDef& axis) {
        Model().StatusCode = 0;
        ParseAxis(Model(), text, axis);
        parsedText = text;
        return Model().StatusCode;
    }
    std::string parsedText;
};

TEST_F(AxisTest, SpeciesActivityElementMolalityAndFixed) {
    const struct {
        const char* text;
        int kind, index;
        const char* parsed;
    } good[] = {{"a(Na+)", AxisDef::kSpecies, 4, "Na+"},
                {"a( Na+ )", AxisDef::kSpecies, 4, nullptr},
                {"a(H2O)", AxisDef::kSpecies, 3, nullptr},  // aqueous species, solvent first
                {"m(Cl)", AxisDef::kElement, 4, nullptr}};
    for (const auto& g : good) {
        AxisDef axis;
        // Braces: the parse comes first.
        EXPECT_EQ((std::tuple{Parse(g.text, axis), axis.Kind, axis.Index, axis.Text}),
                  std::tuple(0, g.kind, g.index, g.text));
        if (g.parsed != nullptr) {
            EXPECT_EQ(parsedText, g.parsed) << "the text keeps the name";
        }
    }
    AxisDef fixed;
    fixed.Index = 42;
    // The index keeps its previous value.
    EXPECT_EQ((std::tuple{Parse("fixed", fixed), fixed.Kind, fixed.Index}),
              std::tuple(0, AxisDef::kFixed, 42));
}

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
