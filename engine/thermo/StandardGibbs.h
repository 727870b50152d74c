// Standard Gibbs energies of the substances of a database at one temperature and pressure:
// the dispatch from a record to its model (revised HKF, estimated HKF, Maier–Kelley mineral,
// ideal gas, water) and the conventions of H+, OH- and water. Units are SI.
#pragma once

#include <optional>
#include <string>

#include "engine/thermo/Hkf.h"
#include "engine/thermo/Solvent.h"
#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// Apparent standard Gibbs energy (J/mol) of a substance at the solvent state's temperature
/// and pressure (aqueous species: hypothetical 1 molal solution; minerals: the pure solid at
/// T and P; gases: the ideal gas at T and 1 bar; water: the water potential). H+ is 0;
/// OH- is G(H2O) − RT ln Kw(T, ρ). nullopt when the record lacks the data its model needs or
/// the result is not finite.
std::optional<double> StandardGibbs(const SpeciesRecord& record, const SolventState& solvent);

/// The same for an aqueous solute (not H+, OH- or water) from the HKF water state only.
std::optional<double> AqueousGibbs(const SpeciesRecord& record, const HkfWater& water);

/// Why the standard Gibbs energy of a record cannot be computed; empty when it can.
std::string MissingData(const SpeciesRecord& record);

}  // namespace varsel::engine::thermo
