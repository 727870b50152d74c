// A System resolved against an open database: every species' record, the elements of the
// System (ordered by atomic number) and the stoichiometry, in System order (p.m.c., extras,
// aqueous species with the solvent first). The System reader and the Solver both build it, so
// they number species and elements alike.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/equilibrium/EquilibriumProblem.h"
#include "engine/equilibrium/SystemFile.h"
#include "engine/thermo/Database.h"

namespace varsel::engine::equilibrium {

/// Name of the aqueous solvent in the databases; "H2O" in an aqueous section stands for it.
inline constexpr const char* kDatabaseSolventName = "H2O,aq";

struct SystemModel {
    SystemDefinition Definition;
    std::vector<int> ElementCodes;                      ///< atomic numbers, ascending
    std::vector<std::string> ElementSymbols;            ///< same order
    std::vector<std::string> Names;                     ///< System order, as written
    std::vector<const thermo::SpeciesRecord*> Records;  ///< System order
    std::vector<ElementVector> Stoich;                  ///< System order
    int MobileCount = 0;
    int ExtraCount = 0;
    int AqueousCount = 0;  ///< including the solvent; 0 when the System has no solution
    /// The titrants of an imposed pH as amounts of the elements above (empty: none).
    ElementVector AcidStoich, BaseStoich;

    int SpeciesCount() const { return MobileCount + ExtraCount + AqueousCount; }
};

/// Finds a System file by name (the working folder first, then the shipped Systems; the
/// extension ".sys" may be left out) and reads it. Throws RuntimeFailure naming the System when
/// no file is found or it is not a valid System.
SystemDefinition FindSystem(const std::string& name, const std::filesystem::path& workFolder);

/// Resolves every species of `definition` in `database`. Throws RuntimeFailure
/// (kEngineFailure) naming the species and the System when a species is not in the database,
/// when a p.m.c. or extra is aqueous, or when an aqueous species is not; and naming the titrant
/// when its formula cannot be read, is charged or holds an element that no species of the
/// System holds, or when the System names a titrant but has no H+.
SystemModel ResolveSystem(const SystemDefinition& definition, const thermo::Database& database);

/// The equilibrium problem of a resolved System (it must have an aqueous solution).
EquilibriumProblem ProblemOf(const SystemModel& model);

}  // namespace varsel::engine::equilibrium
