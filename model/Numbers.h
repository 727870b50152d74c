// Numbers as the data file holds them: the numeric test that decides whether a cell is a
// number, the conversions to the model's 32-bit floats and 16-bit counts, and the spellings
// the results writer uses.
//
// Numbers are written with the user's decimal separator, read once from the process locale by
// a front end and set through varsel/Numbers.h (tests set it explicitly). Reading accepts either
// "." or "," as the separator, whatever the user's is: the file has no thousands grouping, so 0.5
// and 0,5 are the same number, and a file written under one locale reads under another.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "varsel/Numbers.h"

namespace varsel {

/// True when `text` is a number: optional blanks, an optional sign, digits with at most one
/// decimal separator, "." or "," (at least one digit in all), an optional exponent (E or e, an
/// optional sign, digits), optional blanks.
bool IsNumeric(std::string_view text);

/// Converts a numeric text to the nearest 32-bit float. A text that is not numeric fails
/// with a type mismatch, a magnitude beyond the float range with an overflow; a magnitude
/// below the smallest float becomes 0.
float ToFloat(std::string_view text);

/// Converts a numeric text to a 16-bit integer, rounding halves to even. A text that is not
/// numeric fails with a type mismatch, a value outside -32768 .. 32767 with an overflow.
std::int16_t ToInt16(std::string_view text);

/// Short form of a double: as for floats with at most 15 significant digits and plain
/// digits for decimal exponents -5 .. 14.
std::string ShortForm(double value);
/// Short form of a 16-bit count: plain digits.
std::string ShortForm(std::int16_t value);

/// Print form: the short form with one blank before and one after it.
std::string PrintForm(float value);
std::string PrintForm(std::int16_t value);

}  // namespace varsel
