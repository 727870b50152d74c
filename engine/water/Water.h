// Water substance for the engine: the IAPWS-95 equation of state, the liquid-vapour
// saturation curve, the standard Gibbs energy of water in the apparent-formation convention
// of the SUPCRT-family data, the static dielectric constant with the Born functions, the
// solvent function g of the revised HKF equations, the ionisation constant of water and the
// Debye-Hückel parameters.
//
// Units are SI throughout: temperature in K, pressure in Pa, density in kg/m³, energies in
// J/mol. Callers at the engine's interface convert to bar, g/cm³ and kJ/mol in one place.
//
// Every function returns a finite number or throws varsel::RuntimeFailure(kEngineFailure)
// with a message that names the values that caused it; none returns NaN.
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

/// Which root of the equation of state a density search should take below the critical
/// temperature when the pressure alone does not decide it.
enum class Phase { Stable, Liquid, Vapour };

/// The IAPWS-95 state of water at a temperature and density, with the thermodynamic
/// properties that follow from the Helmholtz energy and its derivatives.
struct WaterState {
    double Temperature = 0;  ///< K
    double Density = 0;      ///< kg/m³
    double Pressure = 0;     ///< Pa, P = ρ²(∂f/∂ρ)_T
    double Entropy = 0;      ///< J/(mol·K), absolute (third-law) scale, see ApparentGibbs
    double Enthalpy = 0;     ///< J/mol, relative to the IAPWS-95 reference state
    double Gibbs = 0;        ///< J/mol, relative to the IAPWS-95 reference state
    double HeatCapacityP = 0;      ///< Cp, J/(mol·K)
    double Compressibility = 0;    ///< β = (1/ρ)(∂ρ/∂P)_T, 1/Pa
    double ThermalExpansion = 0;   ///< α = −(1/ρ)(∂ρ/∂T)_P, 1/K
};

/// IAPWS-95 (Wagner & Pruss 2002): the state at temperature (K) and density (kg/m³).
WaterState StateAt(double temperature, double density);

/// Density (kg/m³) at temperature (K) and pressure (Pa), by Newton iteration inside a safe
/// bracket. Below the critical temperature the stable phase is taken unless `phase` asks for
/// the liquid or the vapour root (metastable roots are allowed up to the spinodal).
double Density(double temperature, double pressure, Phase phase = Phase::Stable);

/// Liquid-vapour saturation pressure (Pa) at a temperature from the triple point to the
/// critical point, solved from the IAPWS-95 phase-equilibrium conditions (equal pressure and
/// Gibbs energy). Throws outside that range.
double SaturationPressure(double temperature);

/// Densities (kg/m³) of the saturated liquid and vapour at a temperature.
struct SaturationDensities {
    double Liquid = 0;
    double Vapour = 0;
};
SaturationDensities SaturationDensity(double temperature);

/// Apparent standard molal Gibbs energy of formation of water (J/mol) at temperature (K) and
/// pressure (Pa), in the convention of the SUPCRT-family data:
/// G(T, P) = ΔfG°(298.15 K, 1 bar) + [G(T, P) − G(298.15 K, 1 bar)], with
/// ΔfG°(298.15 K, 1 bar) = −56688 cal/mol and the entropy on the third-law scale, S°(298.15 K,
/// 1 bar) = 16.712 cal/(mol·K).
double ApparentGibbs(double temperature, double pressure);

/// Static dielectric constant of water and the Born functions of the HKF equations.
struct Dielectric {
    double Epsilon = 0;  ///< ε, dimensionless
    double Z = 0;        ///< Z = −1/ε
    double Y = 0;        ///< Y = (∂Z/∂T)_P, 1/K
    double Q = 0;        ///< Q = (∂Z/∂P)_T, 1/Pa
    double X = 0;        ///< X = (∂Y/∂T)_P, 1/K²
};

/// Johnson & Norton (1991) dielectric constant at temperature (K) and water density (kg/m³),
/// the formulation that the revised HKF data were regressed with. The derivatives at constant
/// pressure or temperature use the equation of state at that temperature and density.
Dielectric DielectricJohnsonNorton(double temperature, double density);

/// IAPWS R8-97 (Fernández et al. 1997) dielectric constant at temperature (K) and water
/// density (kg/m³), with the same derivatives.
Dielectric DielectricFernandez(double temperature, double density);

/// The solvent function g of Shock et al. (1992), in Å, at temperature (K), pressure (Pa) and
/// water density (kg/m³); zero where it does not apply (density above 1000 kg/m³).
double GFunction(double temperature, double pressure, double density);

/// Decimal logarithm of the ionisation constant of water (molal scale) as a function of
/// temperature (K) and density (kg/m³): Bandura & Lvov (2006).
double LogKwBanduraLvov(double temperature, double density);

/// The same from Marshall & Franck (1981).
double LogKwMarshallFranck(double temperature, double density);

/// Parameters of the extended Debye-Hückel equation log γ = −A z² √I / (1 + å B √I) + ḃ I.
struct DebyeHuckel {
    double A = 0;  ///< kg^½/mol^½
    double B = 0;  ///< kg^½/(mol^½·Å)
};
/// A and B at temperature (K) from the water density (kg/m³) and dielectric constant.
DebyeHuckel DebyeHuckelParameters(double temperature, double density, double epsilon);

}  // namespace varsel::engine::water
