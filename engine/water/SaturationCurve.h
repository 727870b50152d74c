// The liquid-vapour equilibrium of IAPWS-95 as the water library uses it internally: the
// auxiliary equations of Wagner & Pruss (1993) and the solution of the phase-equilibrium
// conditions, both also below 0 °C (metastable equilibrium) down to kMinimumTemperature.
#pragma once

namespace varsel::engine::water::detail {

/// Pressure (Pa) and coexisting densities (kg/m³) at one temperature.
struct SaturationPoint {
    double Pressure = 0;
    double Liquid = 0;
    double Vapour = 0;
};

/// The auxiliary equations of Wagner & Pruss (1993), equations 2.5, 2.6 and 2.7: a close
/// approximation of the IAPWS-95 saturation curve (within 1e-5 in pressure above 273 K, 2e-3
/// down to 250 K). Temperature in K up to the critical temperature, where they give the
/// critical point.
double AuxiliarySaturationPressure(double temperature);
double AuxiliaryLiquidDensity(double temperature);
double AuxiliaryVapourDensity(double temperature);
SaturationPoint AuxiliarySaturation(double temperature);

/// The IAPWS-95 saturation state from equal pressure and equal Gibbs energy of the two phases
/// (Newton's method on the two densities in the form of Akasaka 2008), started from the
/// auxiliary equations. Temperature (K) from kMinimumTemperature up to the critical point.
SaturationPoint SolveSaturation(double temperature);

}  // namespace varsel::engine::water::detail
