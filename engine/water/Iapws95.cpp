#include "engine/water/Iapws95.h"

#include <cmath>
#include <initializer_list>

#include "engine/water/ApparentGibbs.h"
#include "engine/water/Failure.h"
#include "engine/water/Helmholtz.h"

namespace varsel::engine::water {
namespace {

using detail::kSpecificGasConstant;

// IAPWS-95 entropy at 298.15 K and 1 bar (J/(mol·K)), whose difference from the third-law
// value moves the entropy scale; computed once.
double ReferenceIapwsEntropy() {
    static const double value = [] {
        const double rho = Density(kReferenceTemperature, kReferencePressure, Phase::Liquid);
        const double tau = kCriticalTemperature / kReferenceTemperature;
        const double delta = rho / kCriticalDensity;
        const auto ideal = detail::IdealPart(delta, tau);
        const auto res = detail::ResidualPart(delta, tau);
        return kMolarMass * kSpecificGasConstant * (tau * (ideal.t + res.t) - ideal.phi - res.phi);
    }();
    return value;
}

// Pressure derivatives at (T, ρ) from the residual part along one isotherm: (∂P/∂ρ)_T and
// (∂P/∂T)_ρ.
struct PressureSlopes {
    double dRho;
    double dT;
};
PressureSlopes SlopesAt(const detail::ResidualIsotherm& iso, double density) {
    const double tau = iso.Tau();
    const double temperature = kCriticalTemperature / tau;
    const double delta = density / kCriticalDensity;
    const auto r = iso.At(delta);
    const double R = kSpecificGasConstant;
    return {R * temperature * (1 + 2 * delta * r.d + delta * delta * r.dd),
            density * R * (1 + delta * r.d - delta * tau * r.dt)};
}

}  // namespace

WaterState StateAt(double temperature, double density) {
    detail::CheckTemperatureDensity("water state", temperature, density);
    const double tau = kCriticalTemperature / temperature;
    const double delta = density / kCriticalDensity;
    const auto o = detail::IdealPart(delta, tau);
    const auto r = detail::ResidualPart(delta, tau);
    const double R = kSpecificGasConstant;
    const double RT = R * temperature;
    const double M = kMolarMass;

    WaterState s;
    s.Temperature = temperature;
    s.Density = density;
    s.Pressure = density * RT * (1 + delta * r.d);
    const double iapwsEntropy = M * R * (tau * (o.t + r.t) - o.phi - r.phi);
    s.Enthalpy = M * RT * (1 + tau * (o.t + r.t) + delta * r.d);
    s.Gibbs = M * RT * (1 + o.phi + r.phi + delta * r.d);
    const double cv = -R * tau * tau * (o.tt + r.tt);
    const double dPdRho = RT * (1 + 2 * delta * r.d + delta * delta * r.dd);   // (∂P/∂ρ)_T
    const double dPdT = density * R * (1 + delta * r.d - delta * tau * r.dt);  // (∂P/∂T)_ρ
    // cp = cv + T (∂P/∂T)²_ρ / (ρ² (∂P/∂ρ)_T)
    const double cp = cv + temperature * dPdT * dPdT / (density * density * dPdRho);
    s.HeatCapacityV = M * cv;
    s.HeatCapacityP = M * cp;
    s.Compressibility = 1 / (density * dPdRho);
    s.ThermalExpansion = dPdT / (density * dPdRho);
    s.Entropy = iapwsEntropy + kReferenceEntropy - ReferenceIapwsEntropy();

    for (double v : {s.Pressure, s.Entropy, s.Enthalpy, s.Gibbs, s.HeatCapacityP, s.HeatCapacityV,
                     s.Compressibility, s.ThermalExpansion})
        detail::CheckFinite("water state", v, temperature, density);
    return s;
}

DensityDerivatives DensityDerivativesAt(double temperature, double density) {
    detail::CheckTemperatureDensity("water density derivatives", temperature, density);
    const double hRho = 1e-5 * density;
    const double hT = 1e-5 * temperature;
    const detail::ResidualIsotherm iso(kCriticalTemperature / temperature);
    const PressureSlopes p = SlopesAt(iso, density);
    if (!(p.dRho > 0))
        detail::Fail("water density derivatives: the state is mechanically unstable at " +
                     detail::AtTemperature(temperature) + " and density " + detail::Show(density) +
                     " kg/m3");
    DensityDerivatives d;
    d.dT = -p.dT / p.dRho;
    d.dP = 1 / p.dRho;
    // Second derivatives of the pressure by central differences of the analytic first
    // derivatives; steps of 1e-5 relative keep truncation and rounding errors near 1e-9.
    const PressureSlopes up = SlopesAt(iso, density + hRho);
    const PressureSlopes down = SlopesAt(iso, density - hRho);
    const PressureSlopes warm =
        SlopesAt(detail::ResidualIsotherm(kCriticalTemperature / (temperature + hT)), density);
    const PressureSlopes cold =
        SlopesAt(detail::ResidualIsotherm(kCriticalTemperature / (temperature - hT)), density);
    const double pRhoRho = (up.dRho - down.dRho) / (2 * hRho);
    const double pTRho = (up.dT - down.dT) / (2 * hRho);
    const double pTT = (warm.dT - cold.dT) / (2 * hT);
    // Differentiating P(T, ρ(T)) = const twice along the isobar:
    //   P_TT + 2 P_Tρ ρ_T + P_ρρ ρ_T² + P_ρ ρ_TT = 0.
    d.dTT = -(pTT + 2 * pTRho * d.dT + pRhoRho * d.dT * d.dT) / p.dRho;
    for (double v : {d.dT, d.dP, d.dTT})
        detail::CheckFinite("water density derivatives", v, temperature, density);
    return d;
}

}  // namespace varsel::engine::water
