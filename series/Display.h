// How the parameters of a series fit are shown: in the units of the database's entries (its
// energy unit per mole, with bar for the pressure terms), and with as many digits as their
// half-widths make meaningful.
#pragma once

#include <string>

#include "engine/thermo/HkfSensitivity.h"

namespace varsel::series {

/// The factor from SI to the unit of the entries for a parameter; `energyUnit` in J
/// (4.184 for cal).
double DisplayFactor(engine::thermo::HkfParameter parameter, double energyUnit);

/// The unit of the entries for a parameter: "cal/mol", "cal/(mol K)", "cal K/(mol bar)", ….
std::string DisplayUnit(engine::thermo::HkfParameter parameter, double energyUnit);

/// "value +/- half-width" (`plusMinus` between) with three significant digits in the
/// half-width; seven significant digits of the value alone when the half-width is 0.
std::string WithHalfWidth(double value, double halfWidth, const char* plusMinus = " +/- ");

/// The local date, YYYY-MM-DD.
std::string Today();

}  // namespace varsel::series
