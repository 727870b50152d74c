#include "engine/thermo/HkfEstimate.h"

#include <cmath>

#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

// Constants of the correlations, in the calorie units they were published in.
constexpr double kEta = 1.66027e5;        // Å·cal/mol
constexpr double kYr = -5.802e-5;         // 1/K
constexpr double kQr = 5.903e-7;          // 1/bar
constexpr double kXr = -3.09e-7;          // 1/K²
constexpr double kProtonBorn = 0.5387e5;  // absolute Born coefficient of H+, cal/mol
constexpr double kCm3BarPerCal = 41.8393;
constexpr double kPsiPlusPr = 2601.0;  // bar
constexpr double kTheta = 228.0;       // K

double AlphaZ(int magnitude) {
    switch (magnitude) {
        case 1:
            return 72.0;
        case 2:
            return 141.0;
        case 3:
            return 211.0;
        case 4:
            return 286.0;
    }
    return 0.0;
}

std::optional<HkfParameters> Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return std::nullopt;
}

}  // namespace

std::optional<HkfParameters> EstimateHkf(double entropy, double heatCapacity, double volume,
                                         double charge, std::string* why) {
    if (!std::isfinite(entropy) || !std::isfinite(heatCapacity) || !std::isfinite(volume))
        return Fail(why, "S°, Cp° or V° is not a finite number");
    const double z = charge;
    const int magnitude = static_cast<int>(std::lround(std::fabs(z)));
    if (std::fabs(std::fabs(z) - magnitude) > 1e-9 || magnitude > 4)
        return Fail(why, "charge " + std::to_string(z) + " is outside the correlations (-4 .. 4)");

    const double s = entropy / kCalorie;         // cal/(mol·K)
    const double cp = heatCapacity / kCalorie;   // cal/(mol·K)
    const double v = volume / kCubicCentimetre;  // cm³/mol

    double omega = -0.038e5;  // neutral complexes
    if (magnitude > 0) {
        const double alpha = AlphaZ(magnitude);
        const double re = z * z * (kEta * kYr - 100.0) / (s - alpha);
        if (re > 0.0) {
            omega = kEta * z * z / re - z * kProtonBorn;
        } else {
            const double betaZ = -alpha * kEta / (kYr * kEta - 100.0) - z * kProtonBorn;
            omega = -1514.4 * s + betaZ;
        }
    }

    const double vn = v + omega * kQr * kCm3BarPerCal;  // V° minus the solvation volume −ωQ
    const double cpn = cp - omega * kTr * kXr;          // Cp° minus the solvation term ωTX
    const double a1 = 1.3684e-2 * vn + 0.1765;
    const double sigma = 1.11 * vn + 1.8;
    const double a2 = (sigma / kCm3BarPerCal - a1) * kPsiPlusPr;
    const double a4 = -4.134 * a2 - 27790.0;
    const double c2 = (0.2037 * cp - 3.0346) * 1.0e4;
    const double c1 = cpn - c2 / ((kTr - kTheta) * (kTr - kTheta));
    const double a3 =
        (vn / kCm3BarPerCal - a1 - a2 / kPsiPlusPr) * (kTr - kTheta) - a4 / kPsiPlusPr;

    HkfParameters p;
    p.a1 = a1 * kCalorie / kBar;
    p.a2 = a2 * kCalorie;
    p.a3 = a3 * kCalorie / kBar;
    p.a4 = a4 * kCalorie;
    p.c1 = c1 * kCalorie;
    p.c2 = c2 * kCalorie;
    p.omega = omega * kCalorie;
    return p;
}

std::optional<HkfParameters> EstimateHkf(const SpeciesRecord& record, std::string* why) {
    if (!record.S) return Fail(why, "no S°");
    return EstimateHkf(*record.S, record.Cp.value_or(0.0), record.V.value_or(0.0), record.Charge(),
                       why);
}

}  // namespace varsel::engine::thermo
