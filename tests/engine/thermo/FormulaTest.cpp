// The formula parser: the notations users and databases write, and the faults
// a formula can have.
#include <gtest/gtest.h>

#include "engine/thermo/Elements.h"
#include "engine/thermo/Formula.h"

namespace varsel::engine::thermo {
namespace {

// The notations of users and databases (a count before the sign, "Fe3+", is a count): one
// element's count and the charge of each formula.
TEST(Formula, CountsChargesAndNotations) {
    // clang-format off
    const struct {
        std::string Text;
        int Element;
        double Amount, Charge;
    } cases[] = {
        {"Al2Si2O5(OH)4", 8, 9, 0}, {"Ca[Mg(OH)2]3", 1, 6, 0}, {"CaSO4*2H2O", 8, 6, 0},
        {"MgSO4\u00B77H2O", 8, 11, 0}, {"Na0.33Mg3Si3.67O10", 14, 3.67, 0}, {"Cl-", 17, 1, -1},
        {"SO4-2", 8, 4, -2}, {"Ca++", 20, 1, 2}, {"Mg(HSiO3)+", 14, 1, 1}, {"Cu(+)", 29, 1, 1},
        {"Fe3+", 26, 3, 1}, {"NaCl,aq", 17, 1, 0}, {"CO2,g", 8, 2, 0}, {"SiO2(aq)", 14, 1, 0},
        {"  H2O ", 1, 2, 0}, {"Ca(1)C(1)O(3)", 8, 3, 0}, {"Na(1)+(1)", 11, 1, 1},
        {"S(1)O(4)-(2)", 8, 4, -2}, {"C(1)O(2)+(0)", 6, 1, 0}, {"Pd(1)O(1)+(0)(s)", 46, 1, 0}};
    // clang-format on
    for (const auto& c : cases) {
        const Formula f = ParseFormula(c.Text);
        EXPECT_DOUBLE_EQ(f.Amount(c.Element), c.Amount) << c.Text;
        EXPECT_DOUBLE_EQ(f.Charge, c.Charge) << c.Text;
    }
    EXPECT_EQ(ParseFormula("H2O").Elements[0].Code, 1);  // elements in the order written
    EXPECT_NEAR(ParseFormula("H2O").MolarMass(), 18.015, 1e-3);
}

TEST(Formula, BadFormulasGiveAClearErrorNamingTheFormula) {
    const std::string deep = std::string(18, '(') + "H" + std::string(18, ')');
    const std::string bad[] = {"",      "   ",  "Xx2",    "H2O)",    "(H2O", "Ca(OH",
                               "Na+Cl", "()",   "h2o",    "NaCl,xy", "+",    "H2O*",
                               "Na++2", "Ca(1", "Na 2Cl", "H$",      deep,   "H1e999"};
    for (const std::string& text : bad) {
        std::string error;
        EXPECT_FALSE(TryParseFormula(text, &error).has_value()) << "accepted: " << text;
        EXPECT_NE(error.find("invalid formula"), std::string::npos) << text;
        EXPECT_THROW(ParseFormula(text), FormulaError) << text;
    }
    std::string error;
    TryParseFormula("Na2Xq", &error);
    EXPECT_NE(error.find("\"Na2Xq\""), std::string::npos) << error;
    EXPECT_NE(error.find("Xq"), std::string::npos) << error;
}

}  // namespace
}  // namespace varsel::engine::thermo
