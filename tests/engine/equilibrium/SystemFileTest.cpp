// System files: the format and its refusals.
#include "engine/equilibrium/SystemFile.h"

#include <gtest/gtest.h>

#include "support/Raised.h"

namespace varsel::engine::equilibrium {
namespace {

std::string FailureOf(const std::string& text) {
    return test::RaisedBy([&] { ParseSystem(text, "test.sys"); }).Text;
}

TEST(SystemFile, ReadsSectionsInOrderWithCommentsAndBlankLines) {
    const SystemDefinition s = ParseSystem(
        "# a comment\r\n[PMC]\r\n  O2,g  \r\nH2O # the pure substance\n\n[extras]\nSILVER\n"
        "[aqueous]\nH2O\nH+\n\tOH-\n[extras]\nCHLORARGYRITE\n[Titrants]\nACID HCl # a comment\n",
        "x.sys");
    EXPECT_EQ(s.Mobile, (std::vector<std::string>{"O2,g", "H2O"}));
    EXPECT_EQ(s.Extras, (std::vector<std::string>{"SILVER", "CHLORARGYRITE"}));
    EXPECT_EQ(s.Aqueous, (std::vector<std::string>{"H2O", "H+", "OH-"}));
    EXPECT_EQ(s.Path, "x.sys");
    EXPECT_EQ(s.Acid, "HCl");
    EXPECT_EQ(s.Base, "");
    // No aqueous section at all: a System without a solution, which the solver refuses later.
    EXPECT_TRUE(ParseSystem("[pmc]\nQUARTZ\n", "y").Aqueous.empty());
}

TEST(SystemFile, RefusesWhatIsNotASystemSayingWhereAndWhat) {
    EXPECT_NE(FailureOf("[pmc]\nQUARTZ\n[minerals]\n").find("line 3"), std::string::npos);
    EXPECT_NE(FailureOf("QUARTZ\n").find("before any section"), std::string::npos);
    EXPECT_NE(FailureOf("[pmc]\nO2,g\n[extras]\nO2,g\n").find("O2,g is listed twice"),
              std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\nH2O\nNa+\nNa+\n").find("Na+ is listed twice"),
              std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\nNa+\nH2O\n").find("must start with the solvent H2O,aq"),
              std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\n").find("empty"), std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\nH2O\nNa Cl\n").find("no blanks"), std::string::npos);
    EXPECT_NE(FailureOf("[titrants]\nHCl\n").find("acid FORMULA"), std::string::npos);
    EXPECT_NE(FailureOf("[titrants]\nbase NaOH\nbase KOH\n").find("base is given twice"),
              std::string::npos);
    EXPECT_NE(test::RaisedBy([] {
                  ReadSystemFile("/nonexistent/x.sys");
              }).Text.find("/nonexistent/x.sys"),
              std::string::npos);
}

}  // namespace
}  // namespace varsel::engine::equilibrium
