// Reactions as varsel-thermo reads them: names with optional coefficients, terms joined by
// " + ", the two sides by " = ", every part separated by blanks ("CALCITE + 2 H+ = Ca+2 +
// CO2,aq + H2O"). Names may hold "+" and "-" (ions), so a lone "+" separates terms.
#pragma once

#include <string>
#include <vector>

namespace varsel::engine::tools {

struct ReactionTerm {
    double Coefficient = 0;  ///< negative for reactants, positive for products
    std::string Name;
};

/// The terms of a reaction. Throws ToolError (kExitUsage) naming what cannot be read.
std::vector<ReactionTerm> ParseReaction(const std::string& text);

}  // namespace varsel::engine::tools
