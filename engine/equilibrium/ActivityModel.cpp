#include "engine/equilibrium/ActivityModel.h"

#include <array>
#include <cmath>

namespace varsel::engine::equilibrium {

namespace {
constexpr double kLn10 = 2.302585092994046;

// Points read from Helgeson (1969), Fig. 3 (°C, kg/mol); the 0 °C point continues the curve.
constexpr std::array<double, 8> kBdotT = {0, 25, 50, 100, 150, 200, 250, 300};
constexpr std::array<double, 8> kBdotValue = {0.0374, 0.0418, 0.0439, 0.0468,
                                              0.0479, 0.0456, 0.0348, 0.0};
}  // namespace

double BdotOfTemperature(double tempC) {
    if (!(tempC > kBdotT.front())) return kBdotValue.front();
    if (tempC >= kBdotT.back()) return 0.0;
    std::size_t k = 1;
    while (tempC > kBdotT[k])
        ++k;
    const double f = (tempC - kBdotT[k - 1]) / (kBdotT[k] - kBdotT[k - 1]);
    return kBdotValue[k - 1] + f * (kBdotValue[k] - kBdotValue[k - 1]);
}

double DefaultIonSize(const std::string& name, double charge) {
    const double z = std::fabs(charge);
    if (name == "H+") return 9.0;
    if (name == "OH-") return 3.5;
    if (z < 0.5) return 0.0;
    if (z < 1.5) return 4.0;
    if (z < 2.5) return 5.0;
    if (z < 3.5) return 9.0;
    return 11.0;
}

double LnGamma(const BdotParameters& p, double charge, double ionSize, double ionicStrength) {
    if (charge == 0) return 0.0;
    const double root = std::sqrt(ionicStrength);
    return kLn10 *
           (-p.A * charge * charge * root / (1.0 + ionSize * p.B * root) + p.Bdot * ionicStrength);
}

}  // namespace varsel::engine::equilibrium
