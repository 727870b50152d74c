#include "engine/tools/thermo/WaterProperties.h"

#include <algorithm>

#include "engine/water/Water.h"

namespace varsel::engine::tools {

WaterProperties WaterAt(const Conditions& c, const thermo::Modes& modes) {
    const double t = c.Temperature, p = c.Pressure;
    WaterProperties w;
    w.Density = water::Density(t, p);
    w.Dielectric = thermo::DielectricConstant(t, w.Density, modes);
    if (t >= 273.15 && t <= water::kCriticalTemperature)
        w.SaturationPressure = water::SaturationPressure(std::max(t, 273.16));
    w.Gibbs = water::ApparentGibbs(t, p);
    w.LogKw = thermo::LogKw(t, w.Density, modes);
    w.G = thermo::SolventFunctionG(t, p, w.Density, modes);
    return w;
}

}  // namespace varsel::engine::tools
