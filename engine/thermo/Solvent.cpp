#include "engine/thermo/Solvent.h"

#include <algorithm>
#include <cstdio>

#include "engine/thermo/Units.h"
#include "engine/water/Water.h"

namespace varsel::engine::thermo {

namespace water = varsel::engine::water;

Modes Modes::FromFlags(int flags) {
    Modes modes;
    modes.ConstantOmega = (flags & 1) != 0;
    modes.MarshallFranckKw = (flags & 2) != 0;
    modes.FernandezDielectric = (flags & 4) != 0;
    return modes;
}

int Modes::Flags() const {
    return (ConstantOmega ? 1 : 0) | (MarshallFranckKw ? 2 : 0) | (FernandezDielectric ? 4 : 0);
}

double DielectricConstant(double temperature, double density, Modes modes) {
    // The constant alone: the Born functions (derivatives) are not needed here.
    return modes.FernandezDielectric ? water::DielectricConstantFernandez(temperature, density)
                                     : water::DielectricConstantJohnsonNorton(temperature, density);
}

double SolventFunctionG(double temperature, double pressure, double density, Modes modes) {
    return modes.ConstantOmega ? 0.0 : water::GFunction(temperature, pressure, density);
}

double LogKw(double temperature, double density, Modes modes) {
    return modes.MarshallFranckKw ? water::LogKwMarshallFranck(temperature, density)
                                  : water::LogKwBanduraLvov(temperature, density);
}

namespace {

BornReference ComputeReference(bool fernandez) {
    const double density = water::Density(kTr, kPr);
    const water::Dielectric d = fernandez ? water::DielectricFernandez(kTr, density)
                                          : water::DielectricJohnsonNorton(kTr, density);
    return {d.Epsilon, d.Y};
}

}  // namespace

const BornReference& ReferenceBorn(Modes modes) {
    if (modes.FernandezDielectric) {
        static const BornReference fernandez = ComputeReference(true);
        return fernandez;
    }
    static const BornReference johnsonNorton = ComputeReference(false);
    return johnsonNorton;
}

SolventState SolventFrom(double temperature, double pressure, double density, double epsilon,
                         Modes modes) {
    SolventState state;
    state.Temperature = temperature;
    state.Pressure = pressure;
    state.Density = density;
    state.Epsilon = epsilon;
    state.G = SolventFunctionG(temperature, pressure, density, modes);
    state.WaterGibbs = water::ApparentGibbs(temperature, pressure);
    state.LogKw = LogKw(temperature, density, modes);
    state.Reference = ReferenceBorn(modes);
    state.Options = modes;
    return state;
}

double SolventDensity(double temperature, double pressure) {
    const double density = water::Density(temperature, pressure);
    if (density >= water::kCriticalDensity || temperature >= water::kCriticalTemperature ||
        temperature < water::kSaturationMinimumTemperature) {
        return density;
    }
    // Vapour below the critical temperature: take the liquid when the pressure is the
    // saturation pressure to within float rounding (a relative 1e-6 covers it with margin).
    const double saturation = water::SaturationPressure(temperature);
    if (pressure >= saturation * (1.0 - 1e-6)) {
        return water::Density(temperature, pressure, water::Phase::Liquid);
    }
    return density;
}

namespace {

std::string Shown(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string AqueousWaterProblem(double temperature, double pressure, double density,
                                double minimumDensity, const std::string& lift) {
    if (density < water::kCriticalDensity && temperature < water::kCriticalTemperature &&
        temperature >= water::kSaturationMinimumTemperature) {
        return "water is steam at " + Shown("%.5g", temperature - 273.15) + " C and " +
               Shown("%.5g", pressure / kBar) + " bar (saturation pressure " +
               Shown("%.4g", water::SaturationPressure(std::max(temperature, 273.16)) / kBar) +
               " bar)";
    }
    if (density < minimumDensity) {
        return "the density of water, " + Shown("%.2g", density / 1000.0) +
               " g/cm3, is below the " + Shown("%.2g", minimumDensity / 1000.0) +
               " g/cm3 limit of the aqueous-species model; " + lift;
    }
    return "";
}

SolventState SolventAt(double temperature, double pressure, Modes modes) {
    const double density = SolventDensity(temperature, pressure);
    return SolventFrom(temperature, pressure, density,
                       DielectricConstant(temperature, density, modes), modes);
}

}  // namespace varsel::engine::thermo
