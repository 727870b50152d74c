// The two small pieces of syntax in the data file: the options text, part of which the
// program reads itself before handing the rest to the engine, and the axis definitions
// ("fixed", "a(" species ")", "m(" element ")").
#pragma once

#include <cstdint>
#include <string>

#include "model/ProblemModel.h"

namespace varsel {

/// Removes the first "/mode=" switch (any case) and the one character after it from the
/// options text, then trims blanks. A text without the switch is left unchanged.
void StripModeSwitch(std::string& text);

/// Parses an axis definition into `axis`. On success `text` holds the name or symbol found
/// between the parentheses (or stays "fixed"). On failure sets m.StatusCode to kAxis and leaves
/// StatusText alone. Species are looked up in m's System, element symbols through m.Thermo.
void ParseAxis(ProblemModel& m, std::string& text, AxisDef& axis);

}  // namespace varsel
