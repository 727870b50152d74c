#include "engine/thermo/HkfSensitivity.h"

#include <algorithm>
#include <cmath>

#include "engine/thermo/HkfEstimate.h"
#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

constexpr std::array<std::string_view, kHkfParameterCount> kNames{"G",  "S",  "c1", "c2", "omega",
                                                                  "a1", "a2", "a3", "a4"};

// Born functions of water at 298.15 K and 1 bar as SUPCRT92 tabulates them (Shock & Helgeson
// 1988): Q_r in 1/Pa, X_r in 1/K².
constexpr double kQr = 5.903e-7 / kBar;
constexpr double kXr = -3.09e-7;

int Index(HkfParameter parameter) {
    return static_cast<int>(parameter);
}

HkfParameters HkfOf(const HkfParameterValues& v) {
    HkfParameters p;
    p.c1 = v[Index(HkfParameter::c1)];
    p.c2 = v[Index(HkfParameter::c2)];
    p.omega = v[Index(HkfParameter::omega)];
    p.a1 = v[Index(HkfParameter::a1)];
    p.a2 = v[Index(HkfParameter::a2)];
    p.a3 = v[Index(HkfParameter::a3)];
    p.a4 = v[Index(HkfParameter::a4)];
    return p;
}

}  // namespace

std::string_view HkfParameterName(HkfParameter parameter) {
    return kNames[static_cast<std::size_t>(Index(parameter))];
}

std::optional<HkfParameter> HkfParameterNamed(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name) return static_cast<HkfParameter>(i);
    }
    return std::nullopt;
}

std::optional<HkfParameterValues> HkfParameterValuesOf(const SpeciesRecord& record) {
    if (record.Kind != SpeciesKind::Aqueous || !record.G || !record.S) return std::nullopt;
    std::optional<HkfParameters> p = record.Hkf;
    if (!p) p = EstimateHkf(record);
    if (!p) return std::nullopt;
    return HkfParameterValues{*record.G, *record.S, p->c1, p->c2, p->omega,
                              p->a1,     p->a2,     p->a3, p->a4};
}

void SetHkfParameterValues(SpeciesRecord& record, const HkfParameterValues& values) {
    record.G = values[Index(HkfParameter::G)];
    record.S = values[Index(HkfParameter::S)];
    record.Hkf = HkfOf(values);
}

std::optional<HkfWater> InterfaceWater(float tempK, float pressureBar, Modes modes) {
    try {
        const double t = tempK, p = static_cast<double>(pressureBar) * kBar;
        // The density and the dielectric constant cross the interface as floats (g/cm³ and
        // dimensionless) and come back into the aqueous potential calls as such.
        const float density = static_cast<float>(SolventDensity(t, p) * 1e-3);
        const double rho = static_cast<double>(density) * 1e3;
        const float epsilon = static_cast<float>(DielectricConstant(t, rho, modes));
        if (!std::isfinite(epsilon) || !(epsilon > 0.0f)) return std::nullopt;
        return HkfWater{t, p, epsilon, SolventFunctionG(t, p, rho, modes), ReferenceBorn(modes)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

double HkfGibbsOf(const HkfParameterValues& values, double charge, const HkfWater& water) {
    return HkfGibbs(HkfOf(values), charge, values[Index(HkfParameter::G)],
                    values[Index(HkfParameter::S)], water);
}

HkfParameterValues HkfGibbsGradient(const HkfParameterValues& values, double charge,
                                    const HkfWater& water) {
    const double t = water.Temperature, p = water.Pressure;
    const double theta = kHkfTheta, psi = kHkfPsi;
    const double dp = p - kPr;
    const double lnPsi = std::log((psi + p) / (psi + kPr));

    // The coefficients of each parameter in Tanger & Helgeson (1988), eq. 59.
    HkfParameterValues d{};
    d[Index(HkfParameter::G)] = 1.0;
    d[Index(HkfParameter::S)] = -(t - kTr);
    d[Index(HkfParameter::c1)] = -(t * std::log(t / kTr) - t + kTr);
    d[Index(HkfParameter::c2)] =
        -((1.0 / (t - theta) - 1.0 / (kTr - theta)) * ((theta - t) / theta) -
          t / (theta * theta) * std::log(kTr * (t - theta) / (t * (kTr - theta))));
    d[Index(HkfParameter::a1)] = dp;
    d[Index(HkfParameter::a2)] = lnPsi;
    d[Index(HkfParameter::a3)] = dp / (t - theta);
    d[Index(HkfParameter::a4)] = lnPsi / (t - theta);

    const double omega = values[Index(HkfParameter::omega)];
    if (charge == 0.0) {
        // ω keeps its reference value: the solvation term is linear in it.
        d[Index(HkfParameter::omega)] = HkfSolvationGibbs(1.0, 0.0, water);
    } else {
        // ω(T, P) of an ion is not linear in ω_r; the solvation term is smooth in it, so a
        // central difference with a step of 1e-4 of its size is exact to about 1e-8.
        const double h = 1e-4 * std::max(std::fabs(omega), 1e4);
        d[Index(HkfParameter::omega)] = (HkfSolvationGibbs(omega + h, charge, water) -
                                         HkfSolvationGibbs(omega - h, charge, water)) /
                                        (2.0 * h);
    }
    return d;
}

HkfReferenceProperties HkfReferencePropertiesOf(const HkfParameterValues& values) {
    const HkfParameters p = HkfOf(values);
    const double psi = kHkfPsi + kPr, dt = kTr - kHkfTheta;
    HkfReferenceProperties r;
    r.Volume = p.a1 + p.a2 / psi + (p.a3 + p.a4 / psi) / dt - p.omega * kQr;
    r.HeatCapacity = p.c1 + p.c2 / (dt * dt) + p.omega * kTr * kXr;
    return r;
}

}  // namespace varsel::engine::thermo
