// One substance of a thermodynamic database: its name, composition, kind, reference-state
// properties and the parameters of its standard-property model. Everything is in SI units
// (J, K, Pa, m³); the database readers convert from the units of their files.
//
// Models by kind:
//  - aqueous species: the revised HKF equations (Tanger & Helgeson 1988; Shock et al. 1992),
//    see Hkf.h; a species with ΔfG°, ΔfH° and S° but no HKF parameters gets parameters
//    estimated from its 25 °C properties (HkfEstimate.h);
//  - minerals and other condensed substances: Maier–Kelley heat capacity with phase
//    transitions and a constant volume (MaierKelley.h);
//  - gases: ideal gas with Maier–Kelley heat capacity, standard state 1 bar;
//  - the water substance "H2O" and the aqueous solvent "H2O,aq": the water functions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/thermo/Formula.h"

namespace varsel::engine::thermo {

/// What a substance is.
enum class SpeciesKind {
    Aqueous,  ///< a solute in water (hypothetical 1 molal standard state)
    Mineral,  ///< a condensed substance other than water
    Gas,      ///< an ideal gas (standard state: the pure gas at 1 bar)
    Water     ///< the pure water substance "H2O" or the solvent "H2O,aq"
};

/// Substances whose standard potential follows a convention instead of their parameters.
enum class SpeciesRole {
    Ordinary,
    Solvent,         ///< "H2O,aq": the aqueous solvent, G = the water potential
    WaterSubstance,  ///< "H2O": pure water, G = the water potential
    Proton,          ///< "H+": G = 0 at every T and P
    Hydroxide        ///< "OH-": G = G(H2O) − RT ln Kw(T, ρ)
};

/// Parameters of the revised HKF equations, in SI units.
struct HkfParameters {
    double a1 = 0;     ///< J/(mol·Pa)
    double a2 = 0;     ///< J/mol
    double a3 = 0;     ///< J·K/(mol·Pa)
    double a4 = 0;     ///< J·K/mol
    double c1 = 0;     ///< J/(mol·K)
    double c2 = 0;     ///< J·K/mol
    double omega = 0;  ///< conventional Born coefficient at 298.15 K and 1 bar, J/mol
};

/// Maier–Kelley heat capacity Cp = a + bT + c/T² of one phase.
struct HeatCapacity {
    double a = 0;  ///< J/(mol·K)
    double b = 0;  ///< J/(mol·K²)
    double c = 0;  ///< J·K/mol
};

/// How the volume of a condensed substance depends on T and P.
enum class VolumeModel {
    Constant,     ///< V° constant in each phase, plus ΔV of the transitions passed
    AlphaQuartz,  ///< the α/β-quartz volume equations of Helgeson et al. (1978)
    Coesite       ///< the α-quartz equations shifted to the volume of coesite (as SUPCRT92)
};

/// A phase transition of a mineral, to the phase of the next HeatCapacity entry.
struct PhaseTransition {
    double Temperature = 0;  ///< K, at 1 bar
    double Enthalpy = 0;     ///< ΔH of the transition, J/mol
    double Volume = 0;       ///< ΔV of the transition, m³/mol
    double Slope = 0;        ///< dP/dT of the transition line, Pa/K (0: does not move with P)
};

/// One substance of a database.
struct SpeciesRecord {
    std::string Name;         ///< exact name, the key of look-ups ("Na+", "QUARTZ", "CO2,g")
    std::string FormulaText;  ///< the formula as the database writes it
    Formula Composition;      ///< elements with amounts, and the charge
    SpeciesKind Kind = SpeciesKind::Aqueous;
    SpeciesRole Role = SpeciesRole::Ordinary;

    /// Reference-state properties at 298.15 K and 1 bar (absent when unknown).
    std::optional<double> G;   ///< apparent ΔfG°, J/mol
    std::optional<double> H;   ///< apparent ΔfH°, J/mol
    std::optional<double> S;   ///< third-law S° (conventional for ions), J/(mol·K)
    std::optional<double> V;   ///< V°, m³/mol
    std::optional<double> Cp;  ///< Cp° (used only to estimate HKF parameters), J/(mol·K)

    /// Aqueous species: the revised HKF parameters, when known.
    std::optional<HkfParameters> Hkf;

    /// Minerals and gases: one heat capacity per phase, the transitions between them, and the
    /// upper temperature limit of the heat-capacity fits (K; 0 when not given).
    std::vector<HeatCapacity> HeatCapacities;
    std::vector<PhaseTransition> Transitions;
    double MaxTemperature = 0;
    VolumeModel Volume = VolumeModel::Constant;

    std::string Reference;  ///< sources and remarks, free text

    /// Charge in units of the elementary charge.
    double Charge() const { return Composition.Charge; }
};

/// How the standard potential of an aqueous species is computed.
enum class AqueousModel {
    Hkf,        ///< its own revised HKF parameters
    Estimated,  ///< HKF parameters estimated from ΔfG° and S° (and Cp°, V° when given)
    Missing     ///< not enough data: no potential can be computed
};

/// The aqueous model a record uses (Missing for records that are not aqueous solutes).
AqueousModel AqueousModelOf(const SpeciesRecord& record);

/// "aqueous", "mineral", "gas" or "water".
const char* KindName(SpeciesKind kind);

}  // namespace varsel::engine::thermo
