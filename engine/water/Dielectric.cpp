#include "engine/water/Dielectric.h"

#include <cmath>
#include <initializer_list>

#include "engine/water/Failure.h"
#include "engine/water/Iapws95.h"
#include "engine/water/Jet.h"

namespace varsel::engine::water {
namespace {

using detail::Jet;
using detail::Pow;
using detail::Reciprocal;
using detail::Sqrt;

// Johnson & Norton (1991), table 19 (the form of Uematsu & Franck 1980):
// ε = Σ k_i ρ̂^i, i = 0..4, with ρ̂ = ρ/(1 g/cm³) and T̂ = T/298.15 K.
template <class Number>
Number EpsilonJohnsonNorton(const Number& temperature, const Number& density) {
    constexpr double a[11] = {0,
                              0.1470333593e+02,
                              0.2128462733e+03,
                              -0.1154445173e+03,
                              0.1955210915e+02,
                              -0.8330347980e+02,
                              0.3213240048e+02,
                              -0.6694098645e+01,
                              -0.3786202045e+02,
                              0.6887359646e+02,
                              -0.2729401652e+02};
    const Number t = temperature * (1 / 298.15);
    const Number invT = Reciprocal(t);
    const Number r = density * 1e-3;
    const Number k1 = a[1] * invT;
    const Number k2 = a[2] * invT + a[3] + a[4] * t;
    const Number k3 = a[5] * invT + a[6] * t + a[7] * t * t;
    const Number k4 = a[8] * invT * invT + a[9] * invT + a[10];
    return 1.0 + r * (k1 + r * (k2 + r * (k3 + r * k4)));
}

// IAPWS R8-97 (Fernández et al. 1997), equations 1-5 with the constants of its table 2:
// the Harris-Alder g factor from the reduced density and temperature, then ε from the
// Kirkwood-Fröhlich equation.
template <class Number>
Number EpsilonFernandez(const Number& temperature, const Number& density) {
    struct Term {
        double n;
        int i;
        double j;
    };
    constexpr Term terms[11] = {
        {0.978224486826, 1, 0.25},   {-0.957771379375, 1, 1},     {0.237511794148, 1, 2.5},
        {0.714692244396, 2, 1.5},    {-0.298217036956, 3, 1.5},   {-0.108863472196, 3, 2.5},
        {0.949327488264e-1, 4, 2},   {-0.980469816509e-2, 5, 2},  {0.165167634970e-4, 6, 5},
        {0.937359795772e-4, 7, 0.5}, {-0.123179218720e-9, 10, 10}};
    constexpr double n12 = 0.196096504426e-2;
    constexpr double avogadro = 6.0221367e23;     // 1/mol
    constexpr double boltzmann = 1.380658e-23;    // J/K
    constexpr double dipole = 6.138e-30;          // C·m
    constexpr double polarizability = 1.636e-40;  // C²/(J·m²)
    constexpr double pi = 3.14159265358979323846;
    constexpr double light = 299792458.0;                         // m/s
    const double permittivity = 1 / (4e-7 * pi * light * light);  // ε0, C²/(J·m)

    const Number delta = density * (1 / kCriticalDensity);
    const Number tau = kCriticalTemperature * Reciprocal(temperature);
    Number g = 1.0;
    for (const Term& term : terms)
        g += term.n * Pow(delta, term.i) * Pow(tau, term.j);
    g += n12 * delta * Pow(temperature * (1 / 228.0) - 1.0, -1.2);

    const Number molar = density * (1 / kMolarMass);  // mol/m³
    const Number A = (avogadro * dipole * dipole / (permittivity * boltzmann)) * molar * g *
                     Reciprocal(temperature);
    const Number B = (avogadro * polarizability / (3 * permittivity)) * molar;
    const Number root = Sqrt(9.0 + 2.0 * A + 18.0 * B + A * A + 10.0 * A * B + 9.0 * B * B);
    return (1.0 + A + 5.0 * B + root) / (4.0 * (1.0 - B));
}

// ε must come out finite and at least that of vacuum.
double CheckedEpsilon(const char* what, double epsilon, double temperature, double density) {
    detail::CheckFinite(what, epsilon, temperature, density);
    if (!(epsilon >= 1))
        detail::Fail(std::string(what) + ": dielectric constant " + detail::Show(epsilon) +
                     " below 1 at " + detail::AtTemperature(temperature) + " and density " +
                     detail::Show(density) + " kg/m3");
    return epsilon;
}

// Z, Y, Q and X from ε(T, ρ) and its derivatives, carried to constant pressure or temperature
// by the derivatives of the density along the isobar and the isotherm.
Dielectric BornFunctions(const char* what, const Jet& eps, double temperature, double density) {
    const DensityDerivatives rho = DensityDerivativesAt(temperature, density);
    const double dEdT = eps.x + eps.y * rho.dT;  // (∂ε/∂T)_P
    const double dEdP = eps.y * rho.dP;          // (∂ε/∂P)_T
    const double d2EdT2 = eps.xx + 2 * eps.xy * rho.dT + eps.yy * rho.dT * rho.dT + eps.y * rho.dTT;
    Dielectric d;
    d.Epsilon = CheckedEpsilon(what, eps.v, temperature, density);
    d.Z = -1 / eps.v;
    d.Y = dEdT / (eps.v * eps.v);
    d.Q = dEdP / (eps.v * eps.v);
    d.X = d2EdT2 / (eps.v * eps.v) - 2 * dEdT * dEdT / (eps.v * eps.v * eps.v);
    for (double v : {d.Z, d.Y, d.Q, d.X})
        detail::CheckFinite(what, v, temperature, density);
    return d;
}

}  // namespace

Dielectric DielectricJohnsonNorton(double temperature, double density) {
    detail::CheckTemperatureDensity("dielectric constant (Johnson-Norton)", temperature, density);
    const Jet eps = EpsilonJohnsonNorton(Jet::VariableX(temperature), Jet::VariableY(density));
    return BornFunctions("dielectric constant (Johnson-Norton)", eps, temperature, density);
}

double DielectricConstantJohnsonNorton(double temperature, double density) {
    detail::CheckTemperatureDensity("dielectric constant (Johnson-Norton)", temperature, density);
    return CheckedEpsilon("dielectric constant (Johnson-Norton)",
                          EpsilonJohnsonNorton(temperature, density), temperature, density);
}

double DielectricConstantFernandez(double temperature, double density) {
    detail::CheckTemperatureDensity("dielectric constant (IAPWS R8-97)", temperature, density);
    return CheckedEpsilon("dielectric constant (IAPWS R8-97)",
                          EpsilonFernandez(temperature, density), temperature, density);
}

Dielectric DielectricFernandez(double temperature, double density) {
    detail::CheckTemperatureDensity("dielectric constant (IAPWS R8-97)", temperature, density);
    const Jet eps = EpsilonFernandez(Jet::VariableX(temperature), Jet::VariableY(density));
    return BornFunctions("dielectric constant (IAPWS R8-97)", eps, temperature, density);
}

}  // namespace varsel::engine::water
