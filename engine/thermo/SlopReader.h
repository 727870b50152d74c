// Reader of the SUPCRT92 "slop" data files (sprons92.dat, slop98.dat and their successors;
// Johnson, Oelkers & Helgeson 1992): a header of comment lines starting with "*", then six
// blocks (minerals with 0, 1, 2 and 3 phase transitions, gases, aqueous species), each opened
// by a title line between two comment lines, and records of 6 + n lines (minerals), 6 lines
// (gases) or 6 lines (aqueous species). Values are in calories, bar and cm³ with the scale
// factors of the SUPCRT tables (a1×10, a2×10⁻², a4×10⁻⁴, c2×10⁻⁴, ω×10⁻⁵, b×10³, c×10⁻⁵);
// the reader converts them to SI. 999999 marks an unknown ΔfG° or ΔfH° and an absent
// transition property.
//
// The reader splits numbers on blanks and tabs, not on the Fortran columns (some values do
// not fit their columns), joins a number split after its integer part ("14 .9410"), takes the
// name as the first word of the first line and the elemental formula as the last word of the
// second. Where the elemental formula cannot be read it uses the structural formula of the
// first line. The charge of an ion comes from its name when the name ends in a charge that
// differs from the charge field, and counts of a formula that the name contradicts (same
// elements, other amounts) are taken from the name; every such correction is listed in the
// database's warnings.
#pragma once

#include <istream>
#include <string>

#include "engine/thermo/Database.h"

namespace varsel::engine::thermo {

/// Reads a slop file into `database`. `source` names the file in error messages. Throws
/// DatabaseError with the line number for a record that cannot be read.
void ReadSlop(std::istream& in, Database& database, const std::string& source);

}  // namespace varsel::engine::thermo
