#include "engine/thermo/MaierKelley.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

// ∫Cp dT − T ∫Cp/T dT over [lo, hi] for one phase, evaluated for the final temperature T.
double CpTerms(const HeatCapacity& cp, double lo, double hi, double temperature) {
    const double intCp =
        cp.a * (hi - lo) + 0.5 * cp.b * (hi * hi - lo * lo) - cp.c * (1.0 / hi - 1.0 / lo);
    const double intCpOverT = cp.a * std::log(hi / lo) + cp.b * (hi - lo) -
                              0.5 * cp.c * (1.0 / (hi * hi) - 1.0 / (lo * lo));
    return intCp - temperature * intCpOverT;
}

// Constants of the α/β-quartz volume equations (Helgeson et al. 1978) as SUPCRT92 sets them:
// volumes in cm³/mol, ca in cm³/(mol·bar), k = dP/dT of the α/β transition in bar/K.
constexpr double kQuartzAa = 549.824;
constexpr double kQuartzBa = 0.65995;
constexpr double kQuartzCa = -0.4973e-4;
constexpr double kQuartzVPtTta = 23.348;  // α-quartz at the transition
constexpr double kQuartzVPrTtb = 23.72;   // β-quartz
constexpr double kQuartzVPrTra = 22.688;  // α-quartz at 298.15 K and 1 bar
constexpr double kCoesiteShift = 2.047;   // V(α-quartz) − V(coesite) at 298.15 K and 1 bar
constexpr double kQuartzK = 38.5;
constexpr double kQuartzTtPr = 848.0;  // K, α/β transition at 1 bar
constexpr double kCm3Bar = 0.1;        // J per cm³·bar

// ∫ V dP (J/mol) for quartz (shift 0) or coesite (shift kCoesiteShift). β-quartz has a
// constant volume; α-quartz expands with T and contracts with P, and above 848 K the path
// from 1 bar runs through β-quartz up to the transition pressure P*.
double QuartzVolumeIntegral(double temperature, double pressure, double shift, bool beta) {
    const double p = pressure / kBar, pr = kPr / kBar, tr = kTr;
    const double vRa = kQuartzVPrTra - shift, vTb = kQuartzVPrTtb - shift;
    if (beta) return kCm3Bar * vTb * (p - pr);
    const double pStar =
        temperature < kQuartzTtPr ? pr : pr + kQuartzK * (temperature - kQuartzTtPr);
    const double ca = kQuartzCa, k = kQuartzK;
    const double v = vRa * (p - pStar) + vTb * (pStar - pr) -
                     0.5 * ca * (2.0 * pr * (p - pStar) - (p * p - pStar * pStar)) -
                     ca * k * (temperature - tr) * (p - pStar) +
                     k * (kQuartzBa + kQuartzAa * ca * k) * (temperature - tr) *
                         std::log((kQuartzAa + p / k) / (kQuartzAa + pStar / k));
    return kCm3Bar * v;
}

}  // namespace

double TransitionTemperature(const PhaseTransition& transition, double pressure) {
    if (transition.Slope == 0.0) return transition.Temperature;
    return transition.Temperature + (pressure - kPr) / transition.Slope;
}

int MineralPhase(const SpeciesRecord& record, double temperature, double pressure) {
    // Coesite's pseudo-transition (no ΔH, no dP/dT in the data) follows the α/β-quartz line.
    if (record.Volume == VolumeModel::Coesite && !record.Transitions.empty())
        return temperature > kQuartzTtPr + (pressure - kPr) / (kQuartzK * kBar) ? 1 : 0;
    int phase = 0;
    for (const PhaseTransition& tr : record.Transitions)
        if (temperature > TransitionTemperature(tr, pressure)) ++phase;
    return phase;
}

double IsobaricGibbs(const SpeciesRecord& record, double temperature, int phase) {
    const double t = temperature;
    double g = *record.G - *record.S * (t - kTr);
    double lo = kTr;
    const int last = std::min<int>(phase, static_cast<int>(record.HeatCapacities.size()) - 1);
    for (int i = 0; i < last && i < static_cast<int>(record.Transitions.size()); ++i) {
        const PhaseTransition& tr = record.Transitions[static_cast<std::size_t>(i)];
        g += CpTerms(record.HeatCapacities[static_cast<std::size_t>(i)], lo, tr.Temperature, t);
        g += tr.Enthalpy * (1.0 - t / tr.Temperature);
        lo = tr.Temperature;
    }
    // The heat capacity of the phase stable at (T, P) extends up (or down) to T, also where
    // the transition line has moved away from its 1 bar temperature.
    return g +
           CpTerms(record.HeatCapacities[static_cast<std::size_t>(std::max(last, 0))], lo, t, t);
}

double VolumeIntegral(const SpeciesRecord& record, double temperature, double pressure) {
    const int phase = MineralPhase(record, temperature, pressure);
    if (record.Volume != VolumeModel::Constant) {
        const double shift = record.Volume == VolumeModel::Coesite ? kCoesiteShift : 0.0;
        const bool beta = phase > 0 && record.Volume == VolumeModel::AlphaQuartz;
        return QuartzVolumeIntegral(temperature, pressure, shift, beta);
    }
    double volume = *record.V;
    for (int i = 0; i < phase; ++i)
        volume += record.Transitions[static_cast<std::size_t>(i)].Volume;
    return volume * (pressure - kPr);
}

double MineralGibbs(const SpeciesRecord& record, double temperature, double pressure) {
    return IsobaricGibbs(record, temperature, MineralPhase(record, temperature, pressure)) +
           VolumeIntegral(record, temperature, pressure);
}

double GasGibbs(const SpeciesRecord& record, double temperature) {
    return IsobaricGibbs(record, temperature, 0);
}

}  // namespace varsel::engine::thermo
