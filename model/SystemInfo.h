// The description of a chemical System as the engine's System reader fills it.
//
// Species are numbered 1 .. LastAqueous in System order: first the perfectly mobile
// components (p.m.c., the SubstanceCount non-aqueous substances whose chemical potential is
// imposed), then the other non-aqueous species that may form (minerals, gases: the "extras"),
// then the aqueous species, the solvent first. Elements are numbered 1 .. ElementCount by
// their position in ElementCodes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Arrays.h"

namespace varsel {

/// One phase of a System: a contiguous run of species.
struct PhaseRecord {
    std::int16_t Kind = 0;           ///< engine-defined phase kind
    std::int16_t SpeciesBefore = 0;  ///< index of the last species before this phase's first one
    std::int16_t SpeciesCount = 0;   ///< number of species in the phase
};

struct SystemInfo {
    std::int16_t ElementCount = 0;    ///< number of chemical elements of the System
    std::int16_t SubstanceCount = 0;  ///< number of p.m.c. slots that lead the species list
    std::int16_t HasAqueous = 0;      ///< non-zero when the System has an aqueous solution
    std::int16_t LastAqueous = 0;     ///< index of the last species (the last aqueous one)

    /// The System's phases in species order. The last record is the aqueous solution: its
    /// SpeciesBefore is the index of the last species before the aqueous ones.
    std::vector<PhaseRecord> Phases;

    /// Element codes (atomic numbers), indices 1 .. ElementCount.
    Array1<std::int16_t> ElementCodes;

    /// Stoich(e, s): amount of element e (position 1 .. ElementCount) in one unit of species
    /// s (1 .. LastAqueous). Row 0 is not used.
    Array2<float> Stoich;

    /// Species names in System order, indices 1 .. LastAqueous.
    Array1<std::string> SpeciesNames;

    /// The formulas of the acid and the base that the engine adds to meet an imposed pH
    /// (ISolver::SetPh); empty when the System names none. A data file may give a pH only
    /// for a System that names at least one.
    std::string AcidTitrant, BaseTitrant;
};

/// Whether the System names a titrant, so that a pH may be imposed on its equilibria.
inline bool HasTitrants(const SystemInfo& info) {
    return !info.AcidTitrant.empty() || !info.BaseTitrant.empty();
}

}  // namespace varsel
