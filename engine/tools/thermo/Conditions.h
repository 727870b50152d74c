// Temperature and pressure as varsel-thermo reads them from its command line: °C, and bar or
// the word "sat" (the liquid-vapour saturation pressure, raised to 1 bar below 100 °C as in
// the SUPCRT tables), checked against the engine's limits; and number formatting for the
// tables the subcommands print.
#pragma once

#include <optional>
#include <string>

#include "engine/tools/thermo/Settings.h"

namespace varsel::engine::tools {

struct Conditions {
    double TemperatureC = 0;  ///< °C
    double Temperature = 0;   ///< K
    double Pressure = 0;      ///< Pa
    bool Saturation = false;  ///< the pressure was given as "sat"
};

/// Reads the two arguments. Throws ToolError: kExitUsage for a value that is not a number,
/// kExitFailure for one outside 0–1000 °C and up to 5000 bar (unless the settings ignore the
/// limits) or for "sat" above the critical temperature.
Conditions ReadConditions(const std::string& tempC, const std::string& pressureBar,
                          const ThermoSettings& settings);

/// The same checks for numbers: `tempC` in °C, `pressureBar` in bar or nullopt for the
/// saturation pressure. A value that is not finite is kExitUsage.
Conditions CheckConditions(double tempC, std::optional<double> pressureBar,
                           const ThermoSettings& settings);

/// A number with a fixed count of decimals ("-237.181").
std::string Fixed(double value, int decimals);

/// A text padded with blanks to a width (left-aligned), or right-aligned when `right`.
std::string Pad(const std::string& text, std::size_t width, bool right = false);

}  // namespace varsel::engine::tools
