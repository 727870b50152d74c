// The "/ie" switch of the command line, which lifts the temperature, pressure and density
// limits, as the window takes it from its own command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varsel::cli {

/// True when `argument` is the switch, in any letter case.
bool IsIgnoreLimitsSwitch(const std::string& argument);

/// Position (from 1) of the switch in the arguments joined by blanks, 0 when absent. Only a
/// whole argument counts: on this platform a path holds slashes, and "data/ieq.txt" must not
/// lift the limits.
std::int16_t IgnoreLimitsPosition(const std::vector<std::string>& arguments);

}  // namespace varsel::cli
