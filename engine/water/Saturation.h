// The liquid-vapour saturation curve of water from IAPWS-95: pressure and coexisting
// densities from the phase-equilibrium conditions (equal pressure and equal Gibbs energy),
// started from the auxiliary equations of Wagner & Pruss (1993), J. Phys. Chem. Ref. Data 22,
// 783-787 (IAPWS SR1-86, revised 1992).
#pragma once

namespace varsel::engine::water {

/// Lowest temperature (K) of the saturation curve these functions accept: 0 °C, a hundredth
/// of a kelvin below the triple point (273.16 K), where liquid-vapour equilibrium is
/// metastable with respect to ice but well defined and routinely asked for.
inline constexpr double kSaturationMinimumTemperature = 273.15;

/// Liquid-vapour saturation pressure (Pa) at a temperature (K) from 0 °C to the critical
/// point, solved from the IAPWS-95 phase-equilibrium conditions (equal pressure and Gibbs
/// energy). Throws outside that range.
double SaturationPressure(double temperature);

/// Densities (kg/m³) of the saturated liquid and vapour at a temperature.
struct SaturationDensities {
    double Liquid = 0;
    double Vapour = 0;
};
/// The coexisting densities at a temperature (K), same range as SaturationPressure.
SaturationDensities SaturationDensity(double temperature);

}  // namespace varsel::engine::water
