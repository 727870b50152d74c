// Ion pairs among the solutes of a System: a species whose formula and charge are those of
// ν_c of one cation plus ν_a of one anion of the same System (NaCl,aq = Na+ + Cl-,
// CaCl+ = Ca+2 + Cl-, NaOH,aq = Na+ + OH-). The activity models need them twice: the
// stoichiometric ionic strength counts an ion pair as its free ions, and the Pitzer equations,
// whose parameters describe the ions as fully dissociated, cannot hold an ion pair beside the
// parameters of its own ions.
#pragma once

#include <optional>

#include "engine/equilibrium/EquilibriumProblem.h"

namespace varsel::engine::equilibrium {

struct IonPair {
    int Cation = 0, Anion = 0;  ///< solute indices
    int CationCount = 1, AnionCount = 1;
};

/// The ions that solute `j` pairs (counts 1 to 3 each), if it is an ion pair of the System.
std::optional<IonPair> IonPairOf(const EquilibriumProblem& problem, int j);

/// ½ Σ ν z² of the free ions of an ion pair.
double DissociatedIonicStrength(const EquilibriumProblem& problem, const IonPair& pair);

}  // namespace varsel::engine::equilibrium
