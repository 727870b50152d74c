// Standard Gibbs energy of minerals and gases from the Maier–Kelley heat capacity
// Cp = a + bT + c/T² (Maier & Kelley 1932), with the phase transitions and volumes of
// Helgeson et al. (1978) as SUPCRT92 uses them (Johnson et al. 1992).
//
// G(T, P) = G(T, 1 bar) + ∫ V dP from 1 bar to P at constant T, where G(T, 1 bar) integrates
// the heat capacity of each phase along the 1 bar isobar and adds ΔH_tr(1 − T/T_tr) for every
// transition passed. A transition temperature moves with pressure along a straight line of
// slope dP/dT, so along the isotherm the phase (and with it the volume, V° plus the ΔV_tr of
// the transitions passed) changes where that line is crossed. QUARTZ and COESITE take the
// α/β-quartz volume equations of Helgeson et al. (1978), with the constants of SUPCRT92.
// Units are SI: K, Pa, J/mol.
#pragma once

#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// G (J/mol) at temperature (K) along 1 bar from G°, S° and the heat capacities and
/// transitions of the record (which must hold G, S and one heat capacity per phase).
double IsobaricGibbs(const SpeciesRecord& record, double temperature);

/// ∫ V dP (J/mol) from 1 bar to pressure (Pa) at temperature (K) for a condensed substance
/// (the record must hold V).
double VolumeIntegral(const SpeciesRecord& record, double temperature, double pressure);

/// Apparent standard Gibbs energy (J/mol) of a mineral at temperature (K) and pressure (Pa).
double MineralGibbs(const SpeciesRecord& record, double temperature, double pressure);

/// Standard Gibbs energy (J/mol) of an ideal gas at temperature (K), standard state 1 bar.
double GasGibbs(const SpeciesRecord& record, double temperature);

/// Index of the stable phase (0 = the first) of a mineral at temperature (K) and pressure (Pa).
int MineralPhase(const SpeciesRecord& record, double temperature, double pressure);

/// Transition temperature (K) of a transition at pressure (Pa).
double TransitionTemperature(const PhaseTransition& transition, double pressure);

}  // namespace varsel::engine::thermo
