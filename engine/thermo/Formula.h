// Chemical formulas: parsing a formula into element amounts and a charge.
//
// Accepted forms: element symbols with integer or decimal counts ("H2O", "Si0.5O"),
// parentheses and brackets, nested ("Ca(Al2Si2O8)", "Mg[(OH)2]"), a hydrate part after "*" or
// "·" with an optional multiplier ("CaSO4*2H2O"), a charge suffix ("+", "++", "-2", "+3",
// "-(2)", "(+)"), the name qualifiers ",aq", ",g", "(aq)", "(g)" and "(s)" (ignored), and the
// elemental formulas of SUPCRT92 data files, where every count and the charge stand in
// parentheses ("Ca(1)C(1)O(3)", "Na(1)+(1)", "S(1)O(4)-(2)", "C(1)O(2)+(0)"). A number right
// after a sign is the charge: "Fe+3" is a trivalent iron ion, "Fe3+" is Fe3 with charge +1.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace varsel::engine::thermo {

/// Amount of one element in a formula unit.
struct ElementAmount {
    int Code = 0;       ///< element code (atomic number)
    double Amount = 0;  ///< moles of the element per mole of the formula unit
};

/// A parsed formula: its elements in the order of their first appearance, and its charge.
struct Formula {
    std::vector<ElementAmount> Elements;
    double Charge = 0;  ///< in units of the elementary charge

    /// Amount of the element with this code (0 when absent).
    double Amount(int code) const;
    /// Molar mass (g/mol).
    double MolarMass() const;
    /// A canonical text of the formula: symbols with counts, then the charge ("SO4-2").
    std::string ToText() const;
};

/// A formula that cannot be read; the message names the formula and what is wrong.
class FormulaError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

/// Parses a formula; throws FormulaError for anything it cannot read.
Formula ParseFormula(std::string_view text);

/// Parses a formula; gives nullopt (and the reason in `error` when given) instead of throwing.
std::optional<Formula> TryParseFormula(std::string_view text, std::string* error = nullptr);

}  // namespace varsel::engine::thermo
