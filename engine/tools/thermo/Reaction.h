// Reactions as varsel-thermo reads them: names with optional coefficients, terms joined by
// " + ", the two sides by " = ", every part separated by blanks ("CALCITE + 2 H+ = Ca+2 +
// CO2,aq + H2O"). Names may hold "+" and "-" (ions), so a lone "+" separates terms. And the
// Gibbs energy and log K of a reaction from the standard potentials of its substances.
#pragma once

#include <string>
#include <vector>

#include "engine/tools/thermo/Potentials.h"

namespace varsel::engine::tools {

struct ReactionTerm {
    double Coefficient = 0;  ///< negative for reactants, positive for products
    std::string Name;
};

/// The terms of a reaction. Throws ToolError (kExitUsage) naming what cannot be read.
std::vector<ReactionTerm> ParseReaction(const std::string& text);

struct ReactionEnergy {
    std::vector<ReactionTerm> Terms;
    std::vector<Potential> Potentials;  ///< of each term's substance
    double DeltaG = 0;                  ///< Σ ν G°, J/mol
    double LogK = 0;                    ///< −ΔG / (RT ln 10)
    /// The elements and charge left over ("H 2.000, O 1.000"); empty when balanced.
    std::string Imbalance;
};

/// The energy of the reaction of these terms at the calculator's conditions (temperature
/// `temperature`, K). Throws ToolError (kExitFailure) for a substance that the database lacks
/// or whose potential cannot be computed.
ReactionEnergy EnergyOf(const std::vector<ReactionTerm>& terms, PotentialCalculator& calculator,
                        double temperature);

}  // namespace varsel::engine::tools
