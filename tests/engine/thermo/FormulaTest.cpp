// Element table and formula parser: the notations users and databases write, and the faults
// a formula can have.
#include <gtest/gtest.h>

#include "engine/thermo/Elements.h"
#include "engine/thermo/Formula.h"

namespace varsel::engine::thermo {
namespace {

TEST(Elements, CodesAreAtomicNumbersAndSymbolsAreCaseSensitive) {
    EXPECT_EQ(ElementCode("Cl"), 17);
    EXPECT_EQ(ElementCode("U"), 92);
    EXPECT_EQ(ElementCode("CL"), 0);
    EXPECT_EQ(ElementCode("Xx"), 0);
    // Every code from 1 on maps back to its own symbol.
    for (const Element& e : AllElements()) {
        ASSERT_EQ(ElementByCode(e.Code), &e);
        EXPECT_EQ(ElementCode(e.Symbol), e.Code);
        EXPECT_GT(e.AtomicMass, 0.9);
    }
    EXPECT_EQ(ElementByCode(0), nullptr);
    EXPECT_EQ(ElementByCode(200), nullptr);
}

TEST(Formula, CountsParenthesesAndHydrates) {
    Formula water = ParseFormula("H2O");
    ASSERT_EQ(water.Elements.size(), 2u);
    EXPECT_EQ(water.Elements[0].Code, 1);
    EXPECT_DOUBLE_EQ(water.Elements[0].Amount, 2.0);
    EXPECT_DOUBLE_EQ(water.Amount(8), 1.0);
    EXPECT_NEAR(water.MolarMass(), 18.015, 1e-3);

    Formula kaolinite = ParseFormula("Al2Si2O5(OH)4");
    EXPECT_DOUBLE_EQ(kaolinite.Amount(8), 9.0);
    EXPECT_DOUBLE_EQ(kaolinite.Amount(1), 4.0);

    Formula nested = ParseFormula("Ca[Mg(OH)2]3");
    EXPECT_DOUBLE_EQ(nested.Amount(12), 3.0);
    EXPECT_DOUBLE_EQ(nested.Amount(8), 6.0);
    EXPECT_DOUBLE_EQ(nested.Amount(1), 6.0);

    Formula gypsum = ParseFormula("CaSO4*2H2O");
    EXPECT_DOUBLE_EQ(gypsum.Amount(8), 6.0);
    EXPECT_DOUBLE_EQ(gypsum.Amount(1), 4.0);
    EXPECT_DOUBLE_EQ(ParseFormula("MgSO4\xC2\xB7"
                                  "7H2O")
                         .Amount(8),
                     11.0);

    Formula decimal = ParseFormula("Na0.33Mg3Si3.67O10");
    EXPECT_DOUBLE_EQ(decimal.Amount(11), 0.33);
    EXPECT_DOUBLE_EQ(decimal.Amount(14), 3.67);
}

TEST(Formula, ChargesAndNameQualifiers) {
    EXPECT_DOUBLE_EQ(ParseFormula("Cl-").Charge, -1.0);
    EXPECT_DOUBLE_EQ(ParseFormula("SO4-2").Charge, -2.0);
    EXPECT_DOUBLE_EQ(ParseFormula("Ca++").Charge, 2.0);
    EXPECT_DOUBLE_EQ(ParseFormula("Mg(HSiO3)+").Charge, 1.0);
    EXPECT_DOUBLE_EQ(ParseFormula("Cu(+)").Charge, 1.0);
    // A number after the sign is the charge; before it, a count.
    Formula fe3 = ParseFormula("Fe3+");
    EXPECT_DOUBLE_EQ(fe3.Amount(26), 3.0);
    EXPECT_DOUBLE_EQ(fe3.Charge, 1.0);

    Formula nacl = ParseFormula("NaCl,aq");
    EXPECT_DOUBLE_EQ(nacl.Charge, 0.0);
    EXPECT_DOUBLE_EQ(nacl.Amount(17), 1.0);
    EXPECT_DOUBLE_EQ(ParseFormula("CO2,g").Amount(8), 2.0);
    EXPECT_DOUBLE_EQ(ParseFormula("SiO2(aq)").Amount(14), 1.0);
    EXPECT_DOUBLE_EQ(ParseFormula("  H2O ").Amount(1), 2.0);
}

TEST(Formula, SupcrtElementalFormulas) {
    Formula calcite = ParseFormula("Ca(1)C(1)O(3)");
    EXPECT_DOUBLE_EQ(calcite.Amount(20), 1.0);
    EXPECT_DOUBLE_EQ(calcite.Amount(8), 3.0);
    EXPECT_DOUBLE_EQ(ParseFormula("Na(1)+(1)").Charge, 1.0);
    Formula sulfate = ParseFormula("S(1)O(4)-(2)");
    EXPECT_DOUBLE_EQ(sulfate.Charge, -2.0);
    EXPECT_DOUBLE_EQ(sulfate.Amount(8), 4.0);
    EXPECT_DOUBLE_EQ(ParseFormula("C(1)O(2)+(0)").Charge, 0.0);
    EXPECT_DOUBLE_EQ(ParseFormula("Pd(1)O(1)+(0)(s)").Amount(46), 1.0);
}

TEST(Formula, CanonicalTextReadsBackToTheSameFormula) {
    for (const char* text : {"SO4-2", "Na+", "Al2Si2O9H4", "Na0.33Mg3", "H2O", "Fe+3"}) {
        Formula f = ParseFormula(text);
        Formula again = ParseFormula(f.ToText());
        EXPECT_EQ(again.Elements.size(), f.Elements.size()) << text;
        EXPECT_DOUBLE_EQ(again.Charge, f.Charge) << text;
        for (const ElementAmount& e : f.Elements)
            EXPECT_DOUBLE_EQ(again.Amount(e.Code), e.Amount) << text;
    }
    EXPECT_EQ(ParseFormula("S(1)O(4)-(2)").ToText(), "SO4-2");
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
