// The number spellings that a front end shares with the data file: the user's decimal
// separator, which a front end reads from the locale once at start-up, and the two forms in
// which results are shown (the data file's short form, and the window's "0.000000").
#pragma once

#include <string>

namespace varsel {

/// The decimal separator in effect ('.' until a front end sets the user's).
char DecimalSeparator();
/// Sets the separator that results are written with. Reading accepts '.' and ',' alike.
void SetDecimalSeparator(char separator);
/// The decimal separator of the process locale (LC_NUMERIC from the environment).
char DecimalSeparatorFromLocale();

/// Short form of a stored 32-bit value: the shortest spelling that reads back to the same
/// float, cut to 7 significant digits where it needs more; plain digits for decimal exponents
/// -5 .. 6, otherwise the exponent form (1.234568E+07, 1E-07).
std::string ShortForm(float value);

/// The pattern "0.000000": at least one integer digit and exactly six decimals, with the
/// decimal separator in effect.
std::string FixedSix(double value);

}  // namespace varsel
