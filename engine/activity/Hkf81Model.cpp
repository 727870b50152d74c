#include "engine/activity/Hkf81Model.h"

#include <cmath>

namespace varsel::engine::activity {

namespace {
constexpr double kLn10 = 2.302585092994046;
constexpr double kNeutralB = 0.1;  // log γ_n = 0.1 Ī
}  // namespace

Hkf81Model::Hkf81Model(std::vector<Solute> solutes)
    : solutes_(std::move(solutes)), scaled_(solutes_.size(), 0.0) {
    omegaAbs_.reserve(solutes_.size());
    weight_.reserve(solutes_.size());
    for (const Solute& s : solutes_) {
        omegaAbs_.push_back(s.Charge == 0 ? 0.0 : s.Omega + s.Charge * kOmegaAbsHydrogen);
        weight_.push_back(s.Dissociated > 0 ? s.Dissociated : 0.5 * s.Charge * s.Charge);
    }
}

double Hkf81Model::LoopIonicStrength(std::span<const double> molality, double) const {
    return WeightedIonicStrength(weight_, molality);
}

void Hkf81Model::Evaluate(const SolutionState& loopState, std::span<double> lnGamma,
                          double* lnWaterActivity) {
    const SolutionState state = ScaledToLoop(loopState, weight_, scaled_);
    CheckState("HKF81", state, solutes_.size(), lnGamma.size());
    const WaterState& w = state.Water;
    if (w.Temperature != cachedTemperature_ || w.Pressure != cachedPressure_) {
        parameters_ = ignoreLimits_ ? Hkf81ParametersNearest(w.Temperature - 273.15, w.Pressure)
                                    : Hkf81ParametersAt(w.Temperature - 273.15, w.Pressure);
        cachedTemperature_ = w.Temperature;
        cachedPressure_ = w.Pressure;
    }
    const Hkf81Parameters& p = parameters_;
    const std::span<const double> m = state.Molality;

    double ionic = 0;
    double total = 0;
    double ions = 0;
    double ionZ2 = 0;
    for (std::size_t i = 0; i < m.size(); ++i) {
        ionic += weight_[i] * m[i];
        total += m[i];
        if (solutes_[i].Charge != 0) {
            ions += m[i];
            ionZ2 += m[i] * solutes_[i].Charge * solutes_[i].Charge;
        }
    }
    const double root = std::sqrt(ionic);
    const double x = kHkf81IonSize * p.B * root;
    const double debye = p.A * root / (1.0 + x);
    const double molesX = kWaterMolarMass * total;
    const double lnConversion = -std::log1p(molesX);

    double bSum = 0;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const double z = solutes_[i].Charge;
        double b = kNeutralB;
        if (z != 0) {
            b = omegaAbs_[i] * p.BNaCl + p.BNaClIon - 0.19 * (std::fabs(z) - 1.0);
            lnGamma[i] = kLn10 * (-z * z * debye + b * ionic) + lnConversion;
        } else {
            lnGamma[i] = kLn10 * b * ionic;
        }
        bSum += m[i] * b;
    }
    // The conversion term integrates to (S/X)[X − ln(1 + X)] with S the ions' molality sum;
    // for small X the series X²/2 − X³/3 + ... keeps the digits.
    double conversion = 0;
    if (molesX > 0) {
        const double tail =
            molesX < 1e-4 ? molesX * molesX * (0.5 - molesX / 3.0) : molesX - std::log1p(molesX);
        conversion = ions / molesX * tail;
    }
    const double osmoticSum = total - kLn10 * p.A * root / 3.0 * OsmoticSigma(x) * ionZ2 +
                              0.5 * kLn10 * ionic * bSum - conversion;
    if (lnWaterActivity) *lnWaterActivity = -kWaterMolarMass * osmoticSum;
}

}  // namespace varsel::engine::activity
