// Standard Gibbs energy of minerals and gases from the Maier–Kelley heat capacity
// Cp = a + bT + c/T² (Maier & Kelley 1932), with the phase transitions and volumes of
// Helgeson et al. (1978) as SUPCRT92 uses them (Johnson et al. 1992).
//
// The phase stable at (T, P) is found from the transition lines T_tr(P) = T_tr + (P − 1 bar) /
// (dP/dT). Its G integrates the heat capacity of each phase along 1 bar from 298.15 K, adding
// ΔH_tr(1 − T/T_tr) for every transition below that phase, and
// extends the heat capacity of the stable phase to T; the volume term is
// (V° + Σ ΔV_tr)(P − 1 bar) over the transitions below that phase. QUARTZ and COESITE take the
// α/β-quartz volume equations of Helgeson et al. (1978) with the constants SUPCRT92 uses.
// Units are SI: K, Pa, J/mol.
#pragma once

#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// G (J/mol) at temperature (K) and 1 bar of phase `phase` (0 = the first), from G°, S° and
/// the heat capacities and transitions below that phase (the record must hold G, S and one
/// heat capacity per phase).
double IsobaricGibbs(const SpeciesRecord& record, double temperature, int phase);

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
