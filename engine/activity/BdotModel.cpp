#include "engine/activity/BdotModel.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "services/EngineContract.h"

namespace varsel::engine::activity {

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

BdotModel::BdotModel(const std::vector<Solute>& solutes) {
    for (const Solute& s : solutes) {
        charge_.push_back(s.Charge);
        ionSize_.push_back(DefaultIonSize(s.Name, s.Charge));
    }
}

void BdotModel::Evaluate(const SolutionState& s, std::span<double> lnGamma,
                         double* lnWaterActivity) {
    const WaterState& w = s.Water;
    if (w.Temperature != water_.Temperature || w.TemperatureC != water_.TemperatureC ||
        w.Density != water_.Density || w.Epsilon != water_.Epsilon) {
        const DebyeHuckelSlopes slopes = SlopesOf(w);
        parameters_ = {slopes.A, slopes.B, BdotOfTemperature(w.TemperatureC)};
        water_ = w;
    }
    const BdotParameters& p = parameters_;
    for (std::size_t j = 0; j < charge_.size(); ++j)
        lnGamma[j] = LnGamma(p, charge_[j], ionSize_[j], s.IonicStrength);
    if (!lnWaterActivity) return;

    // ln a_w = −(Σm φ)/55.50843 with
    // Σm φ = Σm − (ln10 A √I / 3) Σ_ions m z² σ(å B √I) + ½ ln10 ḃ I Σ_ions m.
    const double ionic = s.IonicStrength;
    double total = 0, ions = 0;
    for (std::size_t j = 0; j < charge_.size(); ++j) {
        total += s.Molality[j];
        if (charge_[j] != 0) ions += s.Molality[j];
    }
    const double root = std::sqrt(ionic);
    double sigmaSum = 0;
    for (std::size_t j = 0; j < charge_.size(); ++j) {
        const double z = charge_[j];
        if (z != 0) sigmaSum += s.Molality[j] * z * z * OsmoticSigma(ionSize_[j] * p.B * root);
    }
    const double osmotic =
        total - kLn10 * p.A * root / 3.0 * sigmaSum + 0.5 * kLn10 * p.Bdot * ionic * ions;
    *lnWaterActivity = -osmotic / kWaterMolesPerKg;
}

}  // namespace varsel::engine::activity
