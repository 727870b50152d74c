#include "engine/activity/PitzerMixing.h"

#include <cmath>

namespace varsel::engine::activity {

namespace {
constexpr double kC1 = 4.581;
constexpr double kC2 = 0.7237;
constexpr double kC3 = 0.0120;
constexpr double kC4 = 0.528;
}  // namespace

JValue MixingJ(double x) {
    if (!(x > 0)) return {};
    const double power = kC1 * std::pow(x, -kC2) * std::exp(-kC3 * std::pow(x, kC4));
    const double d = 4.0 + power;
    const double dd = power * (-kC2 / x - kC3 * kC4 * std::pow(x, kC4 - 1.0));
    return {x / d, 1.0 / d - x * dd / (d * d)};
}

ETheta MixingETheta(double zi, double zj, double aPhi, double ionicStrength) {
    if (zi == zj || !(ionicStrength > 0)) return {};
    const double root = 6.0 * aPhi * std::sqrt(ionicStrength);
    const double xij = zi * zj * root;
    const double xii = zi * zi * root;
    const double xjj = zj * zj * root;
    const JValue jij = MixingJ(xij);
    const JValue jii = MixingJ(xii);
    const JValue jjj = MixingJ(xjj);
    const double zz = zi * zj;
    const double i = ionicStrength;
    ETheta e;
    e.Value = zz / (4.0 * i) * (jij.J - 0.5 * jii.J - 0.5 * jjj.J);
    e.Slope = -e.Value / i + zz / (8.0 * i * i) *
                                 (xij * jij.Slope - 0.5 * xii * jii.Slope - 0.5 * xjj * jjj.Slope);
    return e;
}

}  // namespace varsel::engine::activity
