// The standard Gibbs energy of an aqueous species as a function of its own parameters — ΔfG°
// and S° at 298.15 K and 1 bar and the seven revised-HKF parameters — at one temperature and
// pressure, with the derivative with respect to each of them: what a fit of those parameters
// to standard potentials at several temperatures and pressures needs.
//
// For fixed water properties the equation of Tanger & Helgeson (1988, eq. 59) is linear in
// ΔfG°, S°, c1, c2 and a1–a4, and in ω for a neutral species; those derivatives are the
// coefficients of the equation and exact. The Born coefficient of an ion at T and P depends
// on its reference value through the effective electrostatic radius (Shock et al. 1992,
// eqs. 5–6), so ∂G°/∂ω_r of a charged species is a central difference of the solvation term.
//
// Also the standard volume and heat capacity at 298.15 K and 1 bar that the parameters imply
// (Shock & Helgeson 1988, eqs. 5 and 35 with the Born functions Q and X of water there), which
// tables of HKF parameters print beside them. Units SI: K, Pa, J/mol, m³/mol.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "engine/thermo/Hkf.h"
#include "engine/thermo/Solvent.h"
#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// The parameters, in the order and with the keywords of a database entry.
enum class HkfParameter { G, S, c1, c2, omega, a1, a2, a3, a4 };
inline constexpr int kHkfParameterCount = 9;

/// The database keyword of a parameter: "G", "S", "c1", "c2", "omega", "a1" … "a4".
std::string_view HkfParameterName(HkfParameter parameter);
/// The parameter of a keyword (exact spelling), or nullopt.
std::optional<HkfParameter> HkfParameterNamed(std::string_view name);

/// The values of all nine parameters in HkfParameter order: ΔfG° (J/mol), S° (J/(mol·K)),
/// then as HkfParameters holds them.
using HkfParameterValues = std::array<double, kHkfParameterCount>;

/// The values of an aqueous record: its own HKF parameters, or those estimated from its data
/// at 25 °C when it has none (HkfEstimate.h). nullopt when it has no ΔfG° or S° or cannot be
/// estimated.
std::optional<HkfParameterValues> HkfParameterValuesOf(const SpeciesRecord& record);

/// Sets ΔfG°, S° and the HKF parameters of a record to `values`.
void SetHkfParameterValues(SpeciesRecord& record, const HkfParameterValues& values);

/// The water state from which the engine interface computes aqueous potentials at a data
/// file's temperature (K) and pressure (bar), as 32-bit values reach it: the density and the
/// dielectric constant rounded to floats on their way through the interface, as the reader
/// hands them on. nullopt when the water functions cannot give the state.
std::optional<HkfWater> InterfaceWater(float tempK, float pressureBar, Modes modes);

/// G° (J/mol) of a species with these values and charge at the water state.
double HkfGibbsOf(const HkfParameterValues& values, double charge, const HkfWater& water);

/// ∂G°/∂value of each parameter at the water state, in J/mol per SI unit of the parameter.
HkfParameterValues HkfGibbsGradient(const HkfParameterValues& values, double charge,
                                    const HkfWater& water);

/// Standard properties at 298.15 K and 1 bar that follow from the HKF parameters.
struct HkfReferenceProperties {
    double Volume = 0;        ///< V°, m³/mol
    double HeatCapacity = 0;  ///< Cp°, J/(mol·K)
};

/// V° = a1 + a2/(Ψ + Pr) + (a3 + a4/(Ψ + Pr))/(Tr − Θ) − ω Q_r and
/// Cp° = c1 + c2/(Tr − Θ)² + ω Tr X_r, with the SUPCRT reference values of the Born functions
/// Q_r = 5.903·10⁻⁷ bar⁻¹ and X_r = −3.09·10⁻⁷ K⁻² (the derivatives of ω vanish there).
HkfReferenceProperties HkfReferencePropertiesOf(const HkfParameterValues& values);

}  // namespace varsel::engine::thermo
