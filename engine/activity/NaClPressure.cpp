#include "engine/activity/NaClPressure.h"

#include <algorithm>

#include "engine/water/Saturation.h"

namespace varsel::engine::activity {

namespace {

constexpr double kP0 = 1.01325;  // bar, the reference pressure of the fit
constexpr double kMinimumTemperature = 273.15;
constexpr double kMaximumTemperature = 573.15;
constexpr double kMaximumPressure = 1000.0;

// Rogers & Pitzer (1982), Table 2, set II: U10..U23 of eq. 24 and U24..U28 of eq. 25. Eq. 24
// prints T − 277 under U11; T − 227, the offset of every other term, reproduces their Table A-1.
struct Beta0Terms {
    double Constant, Linear, Quadratic;  // B^V = c + l (P − P0) + q (P − P0)²
};

Beta0Terms Beta0TermsAt(double t) {
    const double low = 1.0 / (t - 227.0);
    const double high = 1.0 / (680.0 - t);
    return {5.3699517e-5 + 2.2020163e-3 * low - 2.6538013e-7 * t + 8.6255554e-10 * t * t -
                2.6829310e-2 * high,
            -1.1173488e-7 - 2.6249802e-7 * low + 3.4926500e-10 * t - 8.3571924e-13 * t * t +
                3.0669940e-5 * high,
            1.9767979e-11 - 1.9144105e-10 * low + 3.1387857e-14 * t - 9.6461948e-9 * high};
}

}  // namespace

double NaClBeta0PressureSlope(double temperature, double pressure) {
    const Beta0Terms b = Beta0TermsAt(temperature);
    const double d = pressure - kP0;
    return b.Constant + d * (b.Linear + d * b.Quadratic);
}

double NaClCphiPressureSlope(double temperature) {
    const double t = temperature;
    return 2.2902837e-5 - 4.3314252e-4 / (t - 227.0) - 9.0550901e-8 * t + 8.6926600e-11 * t * t +
           5.1904777e-4 / (680.0 - t);
}

NaClPressureShift NaClPressureCorrection(double temperature, double pressure) {
    const double t = std::clamp(temperature, kMinimumTemperature, kMaximumTemperature);
    const double reference = std::max(kP0, water::SaturationPressure(t) * 1e-5);
    const double p = std::min(pressure, kMaximumPressure);
    // A saturation pressure handed in through single precision may lie a rounding above ours.
    if (p <= reference * (1 + 1e-6)) return {};
    // ∫ B^V dP over [reference, p], in powers of d = P − P0.
    const Beta0Terms b = Beta0TermsAt(t);
    auto primitive = [&](double d) {
        return d * (b.Constant + d * (b.Linear / 2.0 + d * b.Quadratic / 3.0));
    };
    return {primitive(p - kP0) - primitive(reference - kP0),
            NaClCphiPressureSlope(t) * (p - reference)};
}

}  // namespace varsel::engine::activity
