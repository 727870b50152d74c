// The chemical equilibrium that varsel-thermo's equilibrium subcommand prints: one kilogram
// of water with given amounts (mol) of formula units, open to the System's p.m.c. at given
// activities (1 when not given), at an imposed pH when one is given (met by the System's
// titrants), computed by the engine's Solver exactly as a fit computes it, in a session of
// its own.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/tools/thermo/Conditions.h"
#include "engine/tools/thermo/Settings.h"

namespace varsel::engine::tools {

struct EquilibriumRequest {
    std::string Database, System;
    Conditions At;
    std::string Activity = "bdot";  ///< the activity model: bdot, hkf81, pitzer or ideal
    bool MolalPh = false;           ///< an imposed pH is −log m(H+) instead of −log a(H+)
    /// In order: a p.m.c. name with its activity, a formula with its amount (mol in the
    /// kilogram of water; formulas add up), or "pH" with the pH to impose.
    std::vector<std::pair<std::string, double>> Assignments;
};

/// A substance of the System that is not in the solution (a mineral, a gas).
struct PhaseState {
    std::string Name;
    double Amount = 0;       ///< mol; 0 where it is not stable
    double LogActivity = 0;  ///< decimal logarithm of its activity (saturation index)
};

/// An aqueous solute.
struct SoluteState {
    std::string Name;
    double Molality = 0;     ///< mol/kg of water
    double LogActivity = 0;  ///< decimal logarithm of the molal activity
    double LogGamma = 0;     ///< log activity − log molality; NaN where the molality is 0
};

struct EquilibriumState {
    std::string Database, System;                     ///< as the request named them
    double PressureBar = 0;                           ///< as the solver took it (a 32-bit float)
    std::vector<std::pair<std::string, double>> Pmc;  ///< the p.m.c. and their activities
    std::vector<PhaseState> Phases;
    std::string Solvent;            ///< the solvent's name ("H2O,aq")
    double SolventLogActivity = 0;  ///< log a of water
    std::vector<SoluteState> Solutes;
    /// φ = −ln a_w / (M_w Σ m); none where ln a_w is 0 (a p.m.c. H2O holds water at 1).
    std::optional<double> OsmoticCoefficient;
    std::optional<double> Ph;             ///< −log a(H+); none when the solver gave no state
    double Titrant = 0;                   ///< mol of acid (> 0) or base (< 0) added for the pH
    std::string Acid, Base;               ///< the System's titrants
    std::optional<double> IonicStrength;  ///< mol/kg
};

/// Throws ToolError (kExitUsage for a value or option that cannot be used, kExitFailure when
/// the engine refuses), thermo::DatabaseError or varsel::RuntimeFailure.
EquilibriumState ComputeEquilibrium(const EquilibriumRequest& request,
                                    const ThermoSettings& settings);

}  // namespace varsel::engine::tools
