#include "engine/thermo/MaierKelley.h"

#include <algorithm>
#include <cmath>

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

// Length of the part of [lo, hi] (pressures, Pa) on which the temperature lies above the
// transition line T_tr(P) = T_tr + (P − Pr)/slope.
double PressureAboveTransition(const PhaseTransition& tr, double temperature, double lo,
                               double hi) {
    if (tr.Slope == 0.0) return temperature > tr.Temperature ? hi - lo : 0.0;
    const double crossing = std::clamp(kPr + tr.Slope * (temperature - tr.Temperature), lo, hi);
    return tr.Slope > 0.0 ? crossing - lo : hi - crossing;
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
    int phase = 0;
    for (const PhaseTransition& tr : record.Transitions)
        if (temperature > TransitionTemperature(tr, pressure)) ++phase;
    return phase;
}

double IsobaricGibbs(const SpeciesRecord& record, double temperature) {
    const double t = temperature;
    double g = *record.G - *record.S * (t - kTr);
    double lo = kTr;
    const std::size_t phases = record.HeatCapacities.size();
    for (std::size_t i = 0; i < phases; ++i) {
        const bool last = i + 1 == phases || i >= record.Transitions.size();
        const double boundary = last ? t : record.Transitions[i].Temperature;
        // Below 298.15 K only the first phase is used, integrating downwards.
        const double hi = (last || t < boundary) ? t : boundary;
        if (i == 0 || hi > lo) g += CpTerms(record.HeatCapacities[i], lo, hi, t);
        if (last || t <= boundary) break;
        const PhaseTransition& tr = record.Transitions[i];
        g += tr.Enthalpy * (1.0 - t / tr.Temperature);
        lo = boundary;
    }
    return g;
}

double VolumeIntegral(const SpeciesRecord& record, double temperature, double pressure) {
    if (record.Volume != VolumeModel::Constant) {
        const double shift = record.Volume == VolumeModel::Coesite ? kCoesiteShift : 0.0;
        const bool beta = record.Volume == VolumeModel::AlphaQuartz &&
                          MineralPhase(record, temperature, pressure) > 0;
        return QuartzVolumeIntegral(temperature, pressure, shift, beta);
    }
    const double lo = std::min(pressure, kPr), hi = std::max(pressure, kPr);
    const double sign = pressure >= kPr ? 1.0 : -1.0;
    double integral = *record.V * (pressure - kPr);
    for (const PhaseTransition& tr : record.Transitions)
        integral += sign * tr.Volume * PressureAboveTransition(tr, temperature, lo, hi);
    return integral;
}

double MineralGibbs(const SpeciesRecord& record, double temperature, double pressure) {
    return IsobaricGibbs(record, temperature) + VolumeIntegral(record, temperature, pressure);
}

double GasGibbs(const SpeciesRecord& record, double temperature) {
    return IsobaricGibbs(record, temperature);
}

}  // namespace varsel::engine::thermo
