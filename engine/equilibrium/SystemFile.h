// The System file: a plain-text list of the species that take part in an equilibrium
// calculation, grouped in three sections (perfectly mobile components, other non-aqueous
// species that may form, aqueous species with the solvent first). The format is described in
// docs/system-format.md; this file parses it and finds System files by name.
#pragma once

#include <string>
#include <vector>

namespace varsel::engine::equilibrium {

/// The species of a System, by database name, in System order within each group.
struct SystemDefinition {
    std::string Path;                  ///< the file it was read from
    std::vector<std::string> Mobile;   ///< p.m.c.: non-aqueous, chemical potential imposed
    std::vector<std::string> Extras;   ///< non-aqueous species present only where stable
    std::vector<std::string> Aqueous;  ///< aqueous species; the solvent "H2O" first
};

/// Name of the solvent, which must lead the aqueous section.
inline constexpr const char* kSolventName = "H2O";

/// Parses the text of a System file. Throws RuntimeFailure(kEngineFailure) with the line
/// number and the offending text when the text is not a valid System (unknown section, a
/// name outside a section, a duplicated name, no aqueous section, a solvent that is not first).
SystemDefinition ParseSystem(const std::string& text, const std::string& path);

/// Finds a System file by name: `name` itself (relative names in `workFolder`), then `name`
/// with the extension ".sys", first in `workFolder` and then in each of `shippedFolders`
/// (folders that hold the Systems shipped with the program). Returns the path found, or an
/// empty text.
std::string FindSystemFile(const std::string& name, const std::string& workFolder,
                           const std::vector<std::string>& shippedFolders);

/// Reads and parses a System file found by FindSystemFile. Throws RuntimeFailure with the
/// name when no file is found or the file cannot be read, and the ParseSystem failures.
SystemDefinition LoadSystemFile(const std::string& name, const std::string& workFolder,
                                const std::vector<std::string>& shippedFolders);

}  // namespace varsel::engine::equilibrium
