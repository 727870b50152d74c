// The text format of this program's databases (documented in docs/database-format.md):
// a line "format varsel-thermo 1", a line "units cal" or "units J", then one block per
// substance opened by "species NAME" and made of keyword–value pairs, several to a line:
//
//   species Na+
//     kind aqueous  formula Na+
//     G -62591  H -57433  S 13.96
//     a1 0.1839  a2 -228.5  a3 3.256  a4 -27260  c1 18.18  c2 -29810  omega 33060
//     ref G9 06.Nov.97
//
// Energies are in the unit of the "units" line (per mole, per mole and kelvin), volumes in
// cm³/mol, pressures in bar, temperatures in K; HKF parameters are written without the scale
// factors of the SUPCRT tables. "#" starts a comment. A value that is not known is left out.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "engine/thermo/Database.h"
#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

/// The line that identifies the format (the first line that is not a comment).
inline constexpr std::string_view kDatabaseFormatLine = "format varsel-thermo 1";

/// Reads a database in the text format into `database`; `source` names the file in error
/// messages. Throws DatabaseError naming the line of anything it cannot read.
void ReadDatabaseText(std::istream& in, Database& database, const std::string& source);

/// Writes the records of `database` in the text format with energies in calories. `header`
/// is written first as comment lines (provenance, references).
void WriteDatabaseText(std::ostream& out, const Database& database, const std::string& header);

/// Writes one record in the text format with energies in `energyUnit` (J): kCalorie for a
/// file with "units cal", 1 for "units J".
void WriteRecordText(std::ostream& out, const SpeciesRecord& record, double energyUnit = kCalorie);

}  // namespace varsel::engine::thermo
