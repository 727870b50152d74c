// The property calculator varsel-thermo: its subcommands, the options they share, and the
// entry point that parses a command line and runs one of them.
//
// A subcommand is one source file with one registration function, listed in Tool.cpp. It adds
// a CLI11 sub-application whose callback runs a calculation (a file of its own, without the
// command line, which the public API runs too), writes plain aligned text to the context's
// `out` and reports failures by throwing ToolError (Settings.h).
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "engine/thermo/Solvent.h"
#include "engine/tools/thermo/Settings.h"

namespace varsel::engine::tools {

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
    /// The engine's settings of the command line.
    ThermoSettings Settings() const;
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
