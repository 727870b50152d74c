// The IAPWS-95 equation of state of water: the Helmholtz energy of Wagner & Pruss (2002),
// "The IAPWS formulation 1995 for the thermodynamic properties of ordinary water substance
// for general and scientific use", J. Phys. Chem. Ref. Data 31, 387-535 (with the ideal-gas
// constants of the 2018 revision of IAPWS R6-95), the properties that follow from it at a
// temperature and density, and the density at a temperature and pressure.
#pragma once

namespace varsel::engine::water {

/// Molar mass of water (kg/mol), IAPWS-95.
inline constexpr double kMolarMass = 0.018015268;
/// Critical temperature (K), pressure (Pa) and density (kg/m³), IAPWS-95.
inline constexpr double kCriticalTemperature = 647.096;
inline constexpr double kCriticalPressure = 22.064e6;
inline constexpr double kCriticalDensity = 322.0;
/// Reference state of the standard properties: 298.15 K and 1 bar.
inline constexpr double kReferenceTemperature = 298.15;
inline constexpr double kReferencePressure = 1.0e5;

/// Range in which the functions of this library accept a temperature (K) and a pressure (Pa).
/// IAPWS-95 is validated from the melting line to 1273 K and up to 1 GPa; Wagner & Pruss show
/// that it extrapolates reasonably in temperature, which the upper limit uses (twice the
/// engine's 1000 °C). The lower limit reaches into supercooled liquid; below it, and above
/// 1 GPa, the isotherms of the equation lose the shape the density search relies on.
inline constexpr double kMinimumTemperature = 250.0;
inline constexpr double kMaximumTemperature = 2500.0;
inline constexpr double kMaximumPressure = 1.0e9;

/// Which root of the equation of state a density search should take below the critical
/// temperature when the pressure alone does not decide it.
enum class Phase { Stable, Liquid, Vapour };

/// The IAPWS-95 state of water at a temperature and density, with the thermodynamic
/// properties that follow from the Helmholtz energy and its derivatives.
struct WaterState {
    double Temperature = 0;  ///< K
    double Density = 0;      ///< kg/m³
    double Pressure = 0;     ///< Pa, P = ρ²(∂f/∂ρ)_T
    /// J/(mol·K), absolute (third-law) scale: the IAPWS-95 entropy shifted so that the
    /// entropy at 298.15 K and 1 bar is 16.712 cal/(mol·K) (see ApparentGibbs).
    double Entropy = 0;
    double Enthalpy = 0;  ///< J/mol, relative to the IAPWS-95 reference state
    /// J/mol, relative to the IAPWS-95 reference state (the triple-point liquid, whose internal
    /// energy and entropy are zero): Gibbs = Enthalpy − T·S on the IAPWS-95 entropy scale.
    double Gibbs = 0;
    double HeatCapacityP = 0;     ///< Cp, J/(mol·K)
    double HeatCapacityV = 0;     ///< Cv, J/(mol·K)
    double Compressibility = 0;   ///< β = (1/ρ)(∂ρ/∂P)_T, 1/Pa
    double ThermalExpansion = 0;  ///< α = −(1/ρ)(∂ρ/∂T)_P, 1/K
};

/// IAPWS-95 (Wagner & Pruss 2002): the state at temperature (K) and density (kg/m³).
WaterState StateAt(double temperature, double density);

/// Density (kg/m³) at temperature (K) and pressure (Pa), by Newton iteration inside a safe
/// bracket. Below the critical temperature the stable phase is taken unless `phase` asks for
/// the liquid or the vapour root (metastable roots are allowed up to the spinodal). At the
/// saturation pressure itself the stable phase is the liquid.
double Density(double temperature, double pressure, Phase phase = Phase::Stable);

/// Derivatives of the density along an isobar and an isotherm at temperature (K) and density
/// (kg/m³): (∂ρ/∂T)_P in kg/(m³·K), (∂ρ/∂P)_T in kg/(m³·Pa) and (∂²ρ/∂T²)_P in kg/(m³·K²).
/// The second derivative needs third derivatives of the Helmholtz energy; it is taken by
/// central differences of the analytic pressure derivatives (relative error about 1e-8).
struct DensityDerivatives {
    double dT = 0;
    double dP = 0;
    double dTT = 0;
};
DensityDerivatives DensityDerivativesAt(double temperature, double density);

}  // namespace varsel::engine::water
