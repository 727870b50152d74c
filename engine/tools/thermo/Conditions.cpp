#include "engine/tools/thermo/Conditions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"
#include "engine/water/Water.h"

namespace varsel::engine::tools {

namespace {

// The checks, with the values spelt as the caller gave them; pressureBar nullopt: "sat".
Conditions Check(double tempC, const std::string& tempText, std::optional<double> pressureBar,
                 const std::string& pressureText, const ThermoSettings& settings) {
    using thermo::kBar;
    const bool ignoreLimits = settings.IgnoreLimits;
    const std::string lift = " (" + settings.LiftLimits + " lifts this)";
    Conditions c;
    c.TemperatureC = tempC;
    c.Temperature = tempC + 273.15;
    if (c.Temperature <= 0.0)
        throw ToolError(kExitFailure, "temperature " + tempText + " °C is below absolute zero");
    if (!ignoreLimits && (tempC < 0.0 || tempC > 1000.0))
        throw ToolError(kExitFailure,
                        "temperature " + tempText + " °C is outside 0 to 1000 °C" + lift);
    if (!pressureBar) {
        c.Saturation = true;
        // From 0 °C to the triple point (0.01 K apart) the triple-point pressure serves.
        const double t = std::max(c.Temperature, 273.16);
        if (t > water::kCriticalTemperature)
            throw ToolError(kExitFailure, "no saturation pressure at " + tempText +
                                              " °C: above the critical temperature (373.946 °C)");
        c.Pressure = std::max(water::SaturationPressure(t), 1.0 * kBar);
        return c;
    }
    if (*pressureBar <= 0.0)
        throw ToolError(kExitFailure, "pressure " + pressureText + " bar is not positive");
    if (!ignoreLimits && *pressureBar > 5000.0)
        throw ToolError(kExitFailure, "pressure " + pressureText + " bar is above 5000 bar" + lift);
    c.Pressure = *pressureBar * kBar;
    return c;
}

}  // namespace

Conditions ReadConditions(const std::string& tempC, const std::string& pressureBar,
                          const ThermoSettings& settings) {
    const std::optional<double> t = thermo::ParseNumber(tempC);
    if (!t) throw ToolError(kExitUsage, "temperature \"" + tempC + "\" is not a number (°C)");
    std::optional<double> p;
    if (pressureBar != "sat") {
        p = thermo::ParseNumber(pressureBar);
        if (!p)
            throw ToolError(kExitUsage,
                            "pressure \"" + pressureBar + "\" is not a number (bar) or sat");
    }
    return Check(*t, tempC, p, pressureBar, settings);
}

Conditions CheckConditions(double tempC, std::optional<double> pressureBar,
                           const ThermoSettings& settings) {
    const std::string tempText = thermo::FormatNumber(tempC);
    if (!std::isfinite(tempC))
        throw ToolError(kExitUsage, "temperature " + tempText + " is not a number (°C)");
    const std::string pressureText = pressureBar ? thermo::FormatNumber(*pressureBar) : "sat";
    if (pressureBar && !std::isfinite(*pressureBar))
        throw ToolError(kExitUsage, "pressure " + pressureText + " is not a number (bar)");
    return Check(tempC, tempText, pressureBar, pressureText, settings);
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
