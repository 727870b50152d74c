// What the property calculations of varsel-thermo share, and how they fail: the engine's
// settings (model options, limits, where names are looked up), the error that names the
// values which caused it, and the exit code each failure gives the program. The public API's
// property calculator (include/varsel/Properties.h) runs the same calculations, so a caller
// of either is refused in the same words.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "engine/thermo/Solvent.h"

namespace varsel::engine::tools {

/// Exit codes: 0 success, 1 a request that cannot be answered (unknown name, value that
/// cannot be computed), 2 a command line that cannot be understood.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

/// A failure of a calculation; the message names the values that caused it.
class ToolError : public std::runtime_error {
  public:
    ToolError(int exitCode, const std::string& message)
        : std::runtime_error(message), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

  private:
    int exitCode_;
};

/// The engine's settings for one calculation.
struct ThermoSettings {
    std::filesystem::path WorkFolder;  ///< where databases and Systems are looked for first
    bool IgnoreLimits = false;         ///< compute outside 0–1000 °C, 5000 bar and 0.32 g/cm³
    thermo::Modes Modes;               ///< the standard-property models
    /// How the caller lifts the limits, as the messages name it ("--ignore-limits").
    std::string LiftLimits = "--ignore-limits";
};

}  // namespace varsel::engine::tools
