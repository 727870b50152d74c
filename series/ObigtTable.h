// Rows of fitted species in the comma-separated layout of the OBIGT table, which a widely used
// thermodynamic package for R reads: the columns name, abbrv, formula, state, ref1, ref2,
// date, model, E_units, G, H, S, Cp, V, a1.a, a2.b, a3.c, a4.d, c1.e, c2.f, omega.lambda, z.T,
// energies in calories, and the HKF parameters with the scale factors of the SUPCRT tables:
// a1·10, a2·10⁻², a3, a4·10⁻⁴, c1, c2·10⁻⁴, ω·10⁻⁵ (a1 and a3 per bar). Cp and V are those
// at 25 °C and 1 bar that the parameters imply; a neutral species is named without its ",aq".
#pragma once

#include <string>

#include "engine/thermo/Species.h"

namespace varsel::series {

/// The header line (with its line end).
std::string ObigtHeader();

/// The row of an aqueous record with HKF parameters (with its line end). `reference` goes
/// into ref1, `date` (YYYY-MM-DD) into date.
std::string ObigtRow(const engine::thermo::SpeciesRecord& record, const std::string& reference,
                     const std::string& date);

}  // namespace varsel::series
