// The revised Helgeson–Kirkham–Flowers equations of state for the standard partial molal
// Gibbs energy of aqueous species: Tanger & Helgeson (1988), eq. 59 for ΔG, with the Born
// coefficient of charged species depending on T and P through the solvent function g
// (Shock et al. 1992, eqs. 5–6 and 14; the effective electrostatic radius
// r_e = r_e,ref + |Z| g). Units are SI: K, Pa, J/mol.
#pragma once

#include "engine/thermo/Solvent.h"
#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// Constants of the revised HKF equations.
inline constexpr double kHkfTheta = 228.0;             ///< Θ, K
inline constexpr double kHkfPsi = 2600.0e5;            ///< Ψ, Pa (2600 bar)
inline constexpr double kBornEta = 1.66027e5 * 4.184;  ///< η, Å·J/mol
inline constexpr double kProtonRadius = 3.082;         ///< Å, the absolute radius term of H+

/// Born coefficient ω (J/mol) of a species at a given g (Å): constant for neutral species,
/// ω = η (Z²/r_e − Z/(3.082 + g)) with r_e = Z²/(ω_ref/η + Z/3.082) + |Z| g for ions.
double BornCoefficient(double omegaRef, double charge, double g);

/// The water state that the HKF equations read.
struct HkfWater {
    double Temperature = 0;   ///< K
    double Pressure = 0;      ///< Pa
    double Epsilon = 0;       ///< dielectric constant at T and P
    double G = 0;             ///< solvent function g, Å (0 for constant ω)
    BornReference Reference;  ///< ε and Y at 298.15 K and 1 bar
};

/// Apparent standard Gibbs energy (J/mol) of an aqueous species at the water state, from its
/// ΔfG° (J/mol) and S° (J/(mol·K)) at 298.15 K and 1 bar, its HKF parameters and its charge.
double HkfGibbs(const HkfParameters& p, double charge, double gRef, double sRef,
                const HkfWater& water);

/// The solvation (Born) part of HkfGibbs (J/mol): ω(1/ε − 1) − ω_r(1/ε_r − 1) + ω_r Y_r (T − Tr),
/// with ω at T and P from ω_r = `omegaRef` (J/mol) and the charge.
double HkfSolvationGibbs(double omegaRef, double charge, const HkfWater& water);

}  // namespace varsel::engine::thermo
