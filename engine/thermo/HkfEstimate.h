// Revised-HKF parameters estimated from standard partial molal properties at 25 °C and
// 1 bar, for aqueous species (typically complexes a user adds) known only by ΔfG°, ΔfH° and
// S°, and Cp° and V° when available. The correlations, in calorie units:
//  - Born coefficient ω of ions from the effective electrostatic radius implied by S°
//    (Shock & Helgeson 1988, eqs. 45–47, 56–57, with α_Z = 72, 141, 211, 286 cal/(mol·K) for
//    |Z| = 1 … 4); where that radius is not positive, the linear form ω = −1514.4 S° + β_Z
//    (Shock & Helgeson 1990, eqs. 55 and 58); neutral complexes ω = −0.038e5 cal/mol
//    (Sverjensky et al. 1997);
//  - solvation volume and heat capacity from ω and the Born functions Q and X at the
//    reference state (Shock & Helgeson 1988, eqs. 5 and 35);
//  - a1 = 1.3684e-2 ΔV_n + 0.1765, σ = 1.11 ΔV_n + 1.8, a2 from σ, a4 = −4.134 a2 − 27790
//    (eqs. 85, 87, 8, 88); c2 = (0.2037 Cp° − 3.0346)·1e4 (eq. 89); c1 and a3 from the
//    definitions of ΔCp_n and ΔV_n at the reference state (eqs. 31 and 11).
// Cp° and V° that are not given are taken as zero, the usual first approximation for a
// complex; give them when they are known.
#pragma once

#include <optional>
#include <string>

#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// HKF parameters (SI) from S° (J/(mol·K)), Cp° (J/(mol·K)), V° (m³/mol) and the charge.
/// nullopt (with the reason in `why` when given) when the charge is not an integer from −4
/// to 4 or a value is not finite.
std::optional<HkfParameters> EstimateHkf(double entropy, double heatCapacity, double volume,
                                         double charge, std::string* why = nullptr);

/// The estimate for a record (its S°, Cp°, V° and charge).
std::optional<HkfParameters> EstimateHkf(const SpeciesRecord& record, std::string* why = nullptr);

}  // namespace varsel::engine::thermo
