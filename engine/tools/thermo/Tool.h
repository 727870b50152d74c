// The property calculator varsel-thermo: its subcommands, the options they share, and the
// entry point that parses a command line and runs one of them.
//
// A subcommand is one source file with one registration function, listed in Tool.cpp. It adds
// a CLI11 sub-application whose callback writes plain aligned text to the context's `out` and
// reports failures by throwing ToolError.
#pragma once

#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "engine/thermo/Solvent.h"

namespace varsel::engine::tools {

/// Exit codes: 0 success, 1 a request that cannot be answered (unknown name, value that
/// cannot be computed), 2 a command line that cannot be understood.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

/// A failure of a subcommand; the message names the values that caused it.
class ToolError : public std::runtime_error {
  public:
    ToolError(int exitCode, const std::string& message)
        : std::runtime_error(message), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

  private:
    int exitCode_;
};

/// What every subcommand shares: output streams, the global options and the working folder.
struct ToolContext {
    std::ostream& Out;
    std::ostream& Err;
    std::filesystem::path WorkFolder;  ///< where databases are looked for first
    bool IgnoreLimits = false;         ///< --ignore-limits
    bool ConstantOmega = false;        ///< --wp
    bool MarshallFranck = false;       ///< --bl
    bool Fernandez = false;            ///< --ew
    /// The model options chosen on the command line.
    thermo::Modes Modes() const;
};

/// Registration functions, one per subcommand file.
void AddWaterCommand(CLI::App& app, ToolContext& context);
void AddPotentialCommand(CLI::App& app, ToolContext& context);
void AddLogKCommand(CLI::App& app, ToolContext& context);
void AddEquilibriumCommand(CLI::App& app, ToolContext& context);

/// Parses the command line (argv[0] is the program name) and runs the subcommand; returns the
/// exit code. Output goes to `out`, messages to `err`.
int RunThermoTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                  const std::filesystem::path& workFolder);

}  // namespace varsel::engine::tools
