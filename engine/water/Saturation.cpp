#include "engine/water/Saturation.h"

#include <algorithm>
#include <cmath>

#include "engine/water/Failure.h"
#include "engine/water/Helmholtz.h"
#include "engine/water/Iapws95.h"
#include "engine/water/SaturationCurve.h"

namespace varsel::engine::water {
namespace detail {

double AuxiliarySaturationPressure(double temperature) {
    const double theta = 1 - temperature / kCriticalTemperature;
    if (theta <= 0) return kCriticalPressure;
    const double root = std::sqrt(theta);
    const double theta3 = theta * theta * theta;
    const double lnP = (kCriticalTemperature / temperature) *
                       (-7.85951783 * theta + 1.84408259 * theta * root - 11.7866497 * theta3 +
                        22.6807411 * theta3 * root - 15.9618719 * theta3 * theta +
                        1.80122502 * theta3 * theta3 * theta * root);
    return kCriticalPressure * std::exp(lnP);
}

double AuxiliaryLiquidDensity(double temperature) {
    const double theta = 1 - temperature / kCriticalTemperature;
    if (theta <= 0) return kCriticalDensity;
    const double t3 = std::cbrt(theta);  // θ^(1/3)
    const double t3p2 = t3 * t3, t3p5 = t3p2 * t3p2 * t3, t3p16 = std::pow(t3, 16);
    return kCriticalDensity *
           (1 + 1.99274064 * t3 + 1.09965342 * t3p2 - 0.510839303 * t3p5 - 1.75493479 * t3p16 -
            45.5170352 * std::pow(t3, 43) - 6.74694450e5 * std::pow(t3, 110));
}

double AuxiliaryVapourDensity(double temperature) {
    const double theta = 1 - temperature / kCriticalTemperature;
    if (theta <= 0) return kCriticalDensity;
    const double t6 = std::pow(theta, 1.0 / 6);  // θ^(1/6)
    const double t6p2 = t6 * t6, t6p4 = t6p2 * t6p2, t6p8 = t6p4 * t6p4;
    return kCriticalDensity *
           std::exp(-2.03150240 * t6p2 - 2.68302940 * t6p4 - 5.38626492 * t6p8 -
                    17.2991605 * t6p8 * t6p8 * t6p2 - 44.7586581 * std::pow(t6, 37) -
                    63.9201063 * std::pow(t6, 71));
}

SaturationPoint AuxiliarySaturation(double temperature) {
    return {AuxiliarySaturationPressure(temperature), AuxiliaryLiquidDensity(temperature),
            AuxiliaryVapourDensity(temperature)};
}

SaturationPoint SolveSaturation(double temperature) {
    if (!(temperature >= kMinimumTemperature && temperature <= kCriticalTemperature))
        Fail("saturation: temperature outside " + Show(kMinimumTemperature) + " to " +
             Show(kCriticalTemperature) + " K at " + AtTemperature(temperature));
    if (temperature == kCriticalTemperature) {
        // The critical point of the equation itself, where both densities meet.
        const ReducedHelmholtz c = ResidualIsotherm(1.0).At(1.0);
        const double pressure =
            kCriticalDensity * kSpecificGasConstant * kCriticalTemperature * (1 + c.d);
        return {pressure, kCriticalDensity, kCriticalDensity};
    }

    const SaturationPoint start = AuxiliarySaturation(temperature);
    const ResidualIsotherm iso(kCriticalTemperature / temperature);
    double dl = start.Liquid / kCriticalDensity;
    double dv = start.Vapour / kCriticalDensity;
    // With J(δ) = δ(1 + δφʳ_δ) (reduced pressure) and K(δ) = δφʳ_δ + φʳ + ln δ (reduced Gibbs
    // energy less constants), equilibrium is J(δ') = J(δ'') and K(δ') = K(δ'').
    // Newton converges quadratically until rounding noise takes over; near the critical point
    // that noise floor is well above machine precision, so stop once a step no longer shrinks.
    double previousStep = HUGE_VAL;
    for (int iteration = 0; iteration < 100; ++iteration) {
        const ReducedHelmholtz l = iso.At(dl);
        const ReducedHelmholtz v = iso.At(dv);
        const double jl = dl * (1 + dl * l.d), jv = dv * (1 + dv * v.d);
        const double kl = dl * l.d + l.phi + std::log(dl), kv = dv * v.d + v.phi + std::log(dv);
        const double jdl = 1 + 2 * dl * l.d + dl * dl * l.dd;
        const double jdv = 1 + 2 * dv * v.d + dv * dv * v.dd;
        const double kdl = 2 * l.d + dl * l.dd + 1 / dl;
        const double kdv = 2 * v.d + dv * v.dd + 1 / dv;
        const double det = jdv * kdl - jdl * kdv;
        if (!(std::isfinite(det) && det != 0)) break;
        const double stepL = ((kv - kl) * jdv - (jv - jl) * kdv) / det;
        const double stepV = ((kv - kl) * jdl - (jv - jl) * kdl) / det;
        const double step = std::max(std::abs(stepL) / dl, std::abs(stepV) / dv);
        if (!std::isfinite(step)) break;
        if (step <= 1e-14 || (step < 1e-6 && step > 0.5 * previousStep)) {
            SaturationPoint s;
            s.Liquid = dl * kCriticalDensity;
            s.Vapour = dv * kCriticalDensity;
            // The vapour side: on the liquid side 1 + δφʳ_δ is a small difference of O(1) terms.
            s.Pressure = s.Vapour * kSpecificGasConstant * temperature * (1 + dv * v.d);
            if (std::isfinite(s.Pressure) && s.Pressure > 0) return s;
            break;
        }
        previousStep = step;
        // Keep the liquid above and the vapour below the critical density and both positive.
        double scale = 1;
        while (scale > 1e-6 &&
               !(dl + scale * stepL > 1 && dv + scale * stepV > 0 && dv + scale * stepV < 1))
            scale *= 0.5;
        dl += scale * stepL;
        dv += scale * stepV;
    }
    Fail("saturation: the phase-equilibrium conditions did not converge at " +
         AtTemperature(temperature));
}

}  // namespace detail

namespace {
void CheckSaturationTemperature(const char* what, double temperature) {
    if (!(temperature >= kSaturationMinimumTemperature && temperature <= kCriticalTemperature))
        detail::Fail(std::string(what) + ": the liquid-vapour curve runs from " +
                     detail::Show(kSaturationMinimumTemperature) + " K to the critical point " +
                     detail::Show(kCriticalTemperature) + " K, asked for " +
                     detail::AtTemperature(temperature));
}
}  // namespace

double SaturationPressure(double temperature) {
    CheckSaturationTemperature("saturation pressure", temperature);
    return detail::SolveSaturation(temperature).Pressure;
}

SaturationDensities SaturationDensity(double temperature) {
    CheckSaturationTemperature("saturation densities", temperature);
    const detail::SaturationPoint s = detail::SolveSaturation(temperature);
    return {s.Liquid, s.Vapour};
}

}  // namespace varsel::engine::water
