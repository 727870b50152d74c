// The static dielectric constant of water and the Born functions of the HKF equations:
// Johnson & Norton (1991), Am. J. Sci. 291, 541-648 (the formulation the revised HKF data
// were regressed with), and IAPWS R8-97, Fernández et al. (1997), J. Phys. Chem. Ref. Data 26,
// 1125-1166.
#pragma once

namespace varsel::engine::water {

struct WaterState;

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
/// density (kg/m³), with the same derivatives. The release is valid from 238 K to 1273 K and
/// up to 1.2 GPa; beyond 873 K it rests on few data.
Dielectric DielectricFernandez(double temperature, double density);

/// The dielectric constant ε alone, for callers that need no Born functions: it spares the
/// equation-of-state derivatives. Temperature in K, water density in kg/m³.
double DielectricConstantJohnsonNorton(double temperature, double density);
double DielectricConstantFernandez(double temperature, double density);

}  // namespace varsel::engine::water
