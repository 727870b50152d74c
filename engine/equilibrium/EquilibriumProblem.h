// The chemical System as the equilibrium solver sees it: species with their element vectors,
// charges and phase membership, and the conditions of one calculation (standard potentials,
// imposed potentials, activity-model parameters, bulk composition). Everything here is in
// dimensionless form: chemical potentials are divided by RT.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "engine/activity/ActivityModel.h"
#include "services/EngineContract.h"

namespace varsel::engine::equilibrium {

/// A species' formula as amounts of the System's elements (one entry per element).
using ElementVector = std::vector<double>;

/// An aqueous solute (any aqueous species but the solvent).
struct Solute {
    std::string Name;
    ElementVector Elements;
    double Charge = 0;
    double Omega = 0;  ///< conventional Born coefficient ω of its HKF parameters, cal/mol
};

/// A non-aqueous species that may form as a pure phase.
struct Extra {
    std::string Name;
    ElementVector Elements;
    bool Gas = false;  ///< an ideal gas at the run's pressure; else a pure condensed phase
};

/// A perfectly mobile component: a substance whose chemical potential is imposed.
struct Mobile {
    std::string Name;
    ElementVector Elements;
};

/// The titrants that adjust an imposed pH: the acid is added where the solution is to be more
/// acidic than without titrant, the base where it is to be more basic.
struct PhTitrants {
    ElementVector Acid, Base;        ///< element amounts per mole; empty when not named
    std::string AcidName, BaseName;  ///< their formulas, for messages
    int HydrogenIon = -1;            ///< the solute H+, whose activity the pH gives
};

/// The fixed part of an equilibrium problem: which species exist and what they are made of.
struct EquilibriumProblem {
    std::vector<std::string> ElementSymbols;  ///< for messages; its size is the element count
    std::vector<Mobile> Mobiles;
    std::vector<Extra> Extras;
    ElementVector Solvent;  ///< the solvent's formula (H2O)
    std::vector<Solute> Solutes;
    PhTitrants Titrants;

    int ElementCount() const { return static_cast<int>(ElementSymbols.size()); }
};

/// The conditions of one calculation. Potentials are μ/RT (dimensionless).
struct EquilibriumConditions {
    /// The water at T and P, with the dielectric constant the activity model asks for.
    activity::WaterState Water;
    bool IgnoreLimits = false;  ///< models take their nearest tabulated state outside their range
    std::vector<double> MobilePotential;     ///< μ_k/RT of each p.m.c. (μ° + RT ln a)
    std::vector<double> ExtraPotential;      ///< μ°/RT of each extra as a pure phase at T, P
    std::vector<double> SoluteStandard;      ///< μ°/RT of each solute (molal standard state)
    double SolventStandard = 0;              ///< μ°/RT of the solvent (pure water at T, P)
    double SolventMoles = kWaterMolesPerKg;  ///< moles of solvent: the molality basis
    std::vector<double> Bulk;                ///< moles of each element besides the solvent
    /// The imposed pH, met by adding a titrant (NaN: none): −log a(H+), or −log m(H+) with
    /// PhMolal.
    double Ph = std::numeric_limits<double>::quiet_NaN();
    bool PhMolal = false;
};

/// The ln activity reported for a species that cannot exist at all because the solution
/// holds none of one of its elements (its amount is then exactly 0).
inline constexpr double kAbsentLnActivity = -700.0;

/// The equilibrium state found by the solver.
struct EquilibriumResult {
    std::vector<double> SoluteMoles;
    std::vector<double> SoluteLnActivity;  ///< ln(γ m), molal scale
    std::vector<double> ExtraMoles;        ///< 0 for absent extras
    std::vector<double> ExtraLnActivity;   ///< 0 when present, ln of saturation ratio when absent
    std::vector<double> ElementPotential;  ///< λ_e/RT
    double ChargePotential = 0;            ///< ψ/RT
    double LnWaterActivity = 0;
    double IonicStrength = 0;  ///< true ionic strength, mol/kg
    double Titrant = 0;        ///< mol of titrant added: acid when positive, base when negative
    int Iterations = 0;        ///< Newton iterations of the last calculation, all loops
};

}  // namespace varsel::engine::equilibrium
