// The program's one command-line switch, "/ie" (any letter case, anywhere), which lifts the
// reader's range checks on temperature, pressure and water density.
#pragma once

#include <cstdint>
#include <string>

namespace varsel {

/// The 1-based position of "/ie" in the lower-cased command line, 0 when it is absent. A
/// position beyond the 16-bit range counts as 32767 (still "present").
std::int16_t IgnoreLimitsPosition(const std::string& commandLine);

/// The program's arguments joined by single blanks, as one command line.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace varsel
