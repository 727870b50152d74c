#include "engine/thermo/Hkf.h"

#include <cmath>

#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

double BornCoefficient(double omegaRef, double charge, double g) {
    if (charge == 0.0) return omegaRef;
    const double z2 = charge * charge;
    const double denominator = omegaRef / kBornEta + charge / kProtonRadius;
    // Only a corrupt parameter set makes this vanish; keep ω constant rather than divide by 0.
    if (denominator == 0.0) return omegaRef;
    const double reRef = z2 / denominator;
    const double re = reRef + std::fabs(charge) * g;
    return kBornEta * (z2 / re - charge / (kProtonRadius + g));
}

double HkfGibbs(const HkfParameters& p, double charge, double gRef, double sRef,
                const HkfWater& water) {
    const double t = water.Temperature, pr = water.Pressure;
    const double theta = kHkfTheta, psi = kHkfPsi;
    const double dt = t - kTr;
    const double lnPsi = std::log((psi + pr) / (psi + kPr));
    const double dp = pr - kPr;

    // Non-solvation terms (Tanger & Helgeson 1988, eq. 59).
    double g = gRef - sRef * dt;
    g -= p.c1 * (t * std::log(t / kTr) - t + kTr);
    g += p.a1 * dp + p.a2 * lnPsi;
    g -= p.c2 * ((1.0 / (t - theta) - 1.0 / (kTr - theta)) * ((theta - t) / theta) -
                 t / (theta * theta) * std::log(kTr * (t - theta) / (t * (kTr - theta))));
    g += (p.a3 * dp + p.a4 * lnPsi) / (t - theta);

    return g + HkfSolvationGibbs(p.omega, charge, water);
}

double HkfSolvationGibbs(double omegaRef, double charge, const HkfWater& water) {
    // The last term undoes the solvation entropy that S° carries at the reference state.
    const double omega = BornCoefficient(omegaRef, charge, water.G);
    return omega * (1.0 / water.Epsilon - 1.0) - omegaRef * (1.0 / water.Reference.Epsilon - 1.0) +
           omegaRef * water.Reference.Y * (water.Temperature - kTr);
}

}  // namespace varsel::engine::thermo
