#include "engine/tools/thermo/Conditions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Tool.h"
#include "engine/water/Water.h"

namespace varsel::engine::tools {

Conditions ReadConditions(const std::string& tempC, const std::string& pressureBar,
                          bool ignoreLimits) {
    using thermo::kBar;
    Conditions c;
    std::optional<double> t = thermo::ParseNumber(tempC);
    if (!t) throw ToolError(kExitUsage, "temperature \"" + tempC + "\" is not a number (°C)");
    c.TemperatureC = *t;
    c.Temperature = *t + 273.15;
    if (c.Temperature <= 0.0)
        throw ToolError(kExitFailure, "temperature " + tempC + " °C is below absolute zero");
    if (!ignoreLimits && (*t < 0.0 || *t > 1000.0))
        throw ToolError(
            kExitFailure,
            "temperature " + tempC + " °C is outside 0 to 1000 °C (--ignore-limits lifts this)");
    if (pressureBar == "sat") {
        c.Saturation = true;
        // From 0 °C to the triple point (0.01 K apart) the triple-point pressure serves.
        const double t = std::max(c.Temperature, 273.16);
        if (t > water::kCriticalTemperature)
            throw ToolError(kExitFailure, "no saturation pressure at " + tempC +
                                              " °C: above the critical temperature (373.946 °C)");
        c.Pressure = std::max(water::SaturationPressure(t), 1.0 * kBar);
        return c;
    }
    std::optional<double> p = thermo::ParseNumber(pressureBar);
    if (!p)
        throw ToolError(kExitUsage,
                        "pressure \"" + pressureBar + "\" is not a number (bar) or sat");
    if (*p <= 0.0)
        throw ToolError(kExitFailure, "pressure " + pressureBar + " bar is not positive");
    if (!ignoreLimits && *p > 5000.0)
        throw ToolError(kExitFailure, "pressure " + pressureBar +
                                          " bar is above 5000 bar (--ignore-limits lifts this)");
    c.Pressure = *p * kBar;
    return c;
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    // A value that rounds to zero prints as 0, not as "-0.000".
    if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0.0;
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string Pad(const std::string& text, std::size_t width, bool right) {
    if (text.size() >= width) return text;
    const std::string blanks(width - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

}  // namespace varsel::engine::tools
