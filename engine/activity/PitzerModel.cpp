#include "engine/activity/PitzerModel.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/activity/NaClPressure.h"
#include "engine/activity/PitzerMixing.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::activity {

namespace {

constexpr double kLn10 = 2.302585092994046;
constexpr double kB = 1.2;

// g(x) and g'(x) of the B terms; series for small x where the closed forms cancel.
double G(double x) {
    if (x < 1e-3) return 1.0 - 2.0 * x / 3.0 + x * x / 4.0;
    return 2.0 * (1.0 - (1.0 + x) * std::exp(-x)) / (x * x);
}
double GSlope(double x) {
    if (x < 1e-3) return -x / 3.0 + x * x / 4.0 - x * x * x / 10.0;
    return -2.0 * (1.0 - (1.0 + x + 0.5 * x * x) * std::exp(-x)) / (x * x);
}

int Sign(double z) {
    return z > 0 ? 1 : (z < 0 ? -1 : 0);
}

}  // namespace

PitzerModel::PitzerModel(std::vector<Solute> solutes, const PitzerParameters& parameters)
    : solutes_(std::move(solutes)) {
    std::map<std::string, int> index;
    for (std::size_t i = 0; i < solutes_.size(); ++i) {
        index.emplace(solutes_[i].Name, static_cast<int>(i));
        charge_.push_back(solutes_[i].Charge);
        weight_.push_back(0.5 * solutes_[i].Charge * solutes_[i].Charge);
    }
    scaled_.assign(solutes_.size(), 0.0);
    std::map<std::pair<int, int>, std::size_t> pairAt;
    std::map<std::pair<int, int>, std::size_t> mixAt;
    auto refuse = [&](const PitzerEntry& e, const std::string& why) {
        throw RuntimeFailure(kEngineFailure,
                             parameters.Source + ", line " + std::to_string(e.Line) + ": " + why);
    };
    for (const PitzerEntry& e : parameters.Entries) {
        const int n = SpeciesCount(e.Kind);
        int id[3] = {-1, -1, -1};
        bool present = true;
        for (int k = 0; k < n; ++k) {
            const auto it = index.find(e.Species[static_cast<std::size_t>(k)]);
            if (it == index.end())
                present = false;
            else
                id[k] = it->second;
        }
        if (!present) continue;
        const int s0 = Sign(charge_[id[0]]);
        const int s1 = Sign(charge_[id[1]]);
        switch (e.Kind) {
            case PitzerKind::B0:
            case PitzerKind::B1:
            case PitzerKind::B2:
            case PitzerKind::C0: {
                if (s0 * s1 != -1)
                    refuse(e, "a cation-anion parameter needs a cation and an anion");
                const int c = s0 > 0 ? id[0] : id[1];
                const int a = s0 > 0 ? id[1] : id[0];
                auto [it, added] = pairAt.emplace(std::make_pair(c, a), pairs_.size());
                if (added) {
                    Pair p;
                    p.C = c;
                    p.A = a;
                    const double zc = charge_[c];
                    const double za = -charge_[a];
                    if (zc == 2 && za == 2) p.Alpha1 = 1.4;
                    p.Cfactor = 1.0 / (2.0 * std::sqrt(zc * za));
                    pairs_.push_back(p);
                }
                pairs_[it->second].Coef[static_cast<int>(e.Kind)] = e.A;
                break;
            }
            case PitzerKind::Theta: {
                if (s0 * s1 != 1) refuse(e, "-THETA needs two ions of the same sign");
                const std::pair<int, int> key(std::min(id[0], id[1]), std::max(id[0], id[1]));
                auto [it, added] = mixAt.emplace(key, mixes_.size());
                if (added) mixes_.push_back(Mix{key.first, key.second, {}, 0});
                mixes_[it->second].Coef = e.A;
                break;
            }
            case PitzerKind::Lambda: {
                if (s0 != 0 && s1 != 0) refuse(e, "-LAMDA needs a neutral species");
                const int neutral = s0 == 0 ? id[0] : id[1];
                const int other = s0 == 0 ? id[1] : id[0];
                lambdas_.push_back(Lambda{neutral, other, e.A, 0});
                break;
            }
            case PitzerKind::Zeta: {
                int nn = -1, c = -1, a = -1;
                for (int k = 0; k < 3; ++k) {
                    const int s = Sign(charge_[id[k]]);
                    (s == 0 ? nn : (s > 0 ? c : a)) = id[k];
                }
                if (nn < 0 || c < 0 || a < 0)
                    refuse(e, "-ZETA needs a neutral species, a cation and an anion");
                zetas_.push_back(Triple{nn, c, a, e.A, 0});
                break;
            }
            case PitzerKind::Psi: {
                // The odd one out is the ion whose sign the other two do not share.
                const int s2 = Sign(charge_[id[2]]);
                int odd = -1;
                if (s0 != 0 && s0 == s1 && s2 == -s0)
                    odd = 2;
                else if (s0 != 0 && s0 == s2 && s1 == -s0)
                    odd = 1;
                else if (s1 != 0 && s1 == s2 && s0 == -s1)
                    odd = 0;
                if (odd < 0) refuse(e, "-PSI needs two ions of one sign and one of the other");
                const int like[2] = {id[odd == 0 ? 1 : 0], id[odd == 2 ? 1 : 2]};
                if (like[0] == like[1]) refuse(e, "-PSI needs two different like-signed ions");
                psis_.push_back(Triple{like[0], like[1], id[odd], e.A, 0});
                break;
            }
        }
    }
    for (std::size_t i = 0; i < pairs_.size(); ++i)
        if (solutes_[pairs_[i].C].Name == "Na+" && solutes_[pairs_[i].A].Name == "Cl-")
            naclPair_ = static_cast<int>(i);
    // Pairs of like-signed ions of different charge carry the E-theta terms even without θ.
    for (std::size_t i = 0; i < solutes_.size(); ++i)
        for (std::size_t j = i + 1; j < solutes_.size(); ++j) {
            const double zi = charge_[i];
            const double zj = charge_[j];
            if (zi * zj > 0 && zi != zj && !mixAt.count({static_cast<int>(i), static_cast<int>(j)}))
                mixes_.push_back(Mix{static_cast<int>(i), static_cast<int>(j), {}, 0});
        }
}

void PitzerModel::UpdateState(double t, double pressure) {
    if (t == cachedTemperature_ && (naclPair_ < 0 || pressure == cachedPressure_)) return;
    for (Pair& p : pairs_)
        for (int k = 0; k < 4; ++k)
            p.Value[k] = PitzerTemperatureValue(p.Coef[k], t);
    for (Mix& m : mixes_)
        m.Theta = PitzerTemperatureValue(m.Coef, t);
    for (Triple& x : psis_)
        x.Value = PitzerTemperatureValue(x.Coef, t);
    for (Triple& x : zetas_)
        x.Value = PitzerTemperatureValue(x.Coef, t);
    for (Lambda& l : lambdas_)
        l.Value = PitzerTemperatureValue(l.Coef, t);
    if (naclPair_ >= 0) {
        const NaClPressureShift shift = NaClPressureCorrection(t, pressure);
        Pair& nacl = pairs_[static_cast<std::size_t>(naclPair_)];
        nacl.Value[0] += shift.Beta0;
        nacl.Value[3] += shift.Cphi;
    }
    cachedTemperature_ = t;
    cachedPressure_ = pressure;
}

double PitzerModel::LoopIonicStrength(std::span<const double> molality, double) const {
    return WeightedIonicStrength(weight_, molality);
}

void PitzerModel::Evaluate(const SolutionState& loopState, std::span<double> lnGamma,
                           double* lnWaterActivity) {
    const SolutionState state = ScaledToLoop(loopState, weight_, scaled_);
    CheckState("Pitzer", state, solutes_.size(), lnGamma.size());
    UpdateState(state.Water.Temperature, state.Water.Pressure);
    const double aPhi = kLn10 * SlopesOf(state.Water).A / 3.0;
    const std::span<const double> m = state.Molality;
    const std::size_t n = m.size();

    double ionic = 0;
    double zSum = 0;
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ionic += 0.5 * m[i] * charge_[i] * charge_[i];
        zSum += m[i] * std::fabs(charge_[i]);
        total += m[i];
    }
    const double root = std::sqrt(ionic);
    const double bRoot = 1.0 + kB * root;

    double f = -aPhi * (root / bRoot + 2.0 / kB * std::log(bRoot));
    double osm = -aPhi * ionic * root / bRoot;
    double cSum = 0;
    for (std::size_t i = 0; i < n; ++i)
        lnGamma[i] = 0;

    for (const Pair& p : pairs_) {
        const double mm = m[p.C] * m[p.A];
        const double x1 = p.Alpha1 * root;
        const double x2 = p.Alpha2 * root;
        const double b = p.Value[0] + p.Value[1] * G(x1) + p.Value[2] * G(x2);
        const double bPhi = p.Value[0] + p.Value[1] * std::exp(-x1) + p.Value[2] * std::exp(-x2);
        const double c = p.Value[3] * p.Cfactor;
        if (ionic > 0) f += mm * (p.Value[1] * GSlope(x1) + p.Value[2] * GSlope(x2)) / ionic;
        lnGamma[p.C] += m[p.A] * (2.0 * b + zSum * c);
        lnGamma[p.A] += m[p.C] * (2.0 * b + zSum * c);
        cSum += mm * c;
        osm += mm * (bPhi + zSum * c);
    }
    for (const Mix& x : mixes_) {
        const double mm = m[x.I] * m[x.J];
        const ETheta e =
            MixingETheta(std::fabs(charge_[x.I]), std::fabs(charge_[x.J]), aPhi, ionic);
        const double phi = x.Theta + e.Value;
        f += mm * e.Slope;
        lnGamma[x.I] += 2.0 * m[x.J] * phi;
        lnGamma[x.J] += 2.0 * m[x.I] * phi;
        osm += mm * (phi + ionic * e.Slope);
    }
    for (const Triple& x : psis_) {
        lnGamma[x.I] += m[x.J] * m[x.K] * x.Value;
        lnGamma[x.J] += m[x.I] * m[x.K] * x.Value;
        lnGamma[x.K] += m[x.I] * m[x.J] * x.Value;
        osm += m[x.I] * m[x.J] * m[x.K] * x.Value;
    }
    osm *= 2.0;
    for (std::size_t i = 0; i < n; ++i)
        if (charge_[i] != 0)
            lnGamma[i] += charge_[i] * charge_[i] * f + std::fabs(charge_[i]) * cSum;
    for (const Lambda& l : lambdas_) {
        if (l.I == l.N) {
            lnGamma[l.N] += 2.0 * m[l.N] * l.Value;
            osm += m[l.N] * m[l.N] * l.Value;
        } else {
            lnGamma[l.N] += 2.0 * m[l.I] * l.Value;
            lnGamma[l.I] += 2.0 * m[l.N] * l.Value;
            osm += 2.0 * m[l.N] * m[l.I] * l.Value;
        }
    }
    for (const Triple& x : zetas_) {
        lnGamma[x.I] += m[x.J] * m[x.K] * x.Value;
        lnGamma[x.J] += m[x.I] * m[x.K] * x.Value;
        lnGamma[x.K] += m[x.I] * m[x.J] * x.Value;
        osm += 2.0 * m[x.I] * m[x.J] * m[x.K] * x.Value;
    }
    osmotic_ = total > 0 ? 1.0 + osm / total : 1.0;
    if (lnWaterActivity) *lnWaterActivity = -kWaterMolarMass * (total + osm);
}

}  // namespace varsel::engine::activity
