// The System file: a plain-text list of the species that take part in an equilibrium
// calculation, grouped in three sections (perfectly mobile components, other non-aqueous
// species that may form, aqueous species with the solvent first), and optionally the titrants
// that adjust an imposed pH. The format is described in docs/system-format.md; this file reads
// and parses it.
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
    /// Formulas of the titrants of an imposed pH ([titrants]: "acid HCl", "base NaOH"); empty
    /// when the System names none.
    std::string Acid, Base;
};

/// Name of the solvent, which must lead the aqueous section ("H2O" is accepted for it).
inline constexpr const char* kSolventName = "H2O,aq";
inline constexpr const char* kSolventAlias = "H2O";

/// Parses the text of a System file. Throws RuntimeFailure(kEngineFailure) with the line
/// number and the offending text when the text is not a valid System (unknown section, a
/// name outside a section, a duplicated name, no aqueous section, a solvent that is not first,
/// a titrant line that is not "acid FORMULA" or "base FORMULA", or a titrant given twice).
SystemDefinition ParseSystem(const std::string& text, const std::string& path);

/// Reads and parses the System file at `path`. Throws RuntimeFailure naming the file when it
/// cannot be read, and the ParseSystem failures.
SystemDefinition ReadSystemFile(const std::string& path);

}  // namespace varsel::engine::equilibrium
