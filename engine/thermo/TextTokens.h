// Small text helpers shared by the database readers: splitting a line into words and reading
// a number from a word with a clear error.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varsel::engine::thermo {

/// The words of a line, separated by blanks and tabs.
std::vector<std::string_view> SplitWords(std::string_view line);

/// The line without leading and trailing blanks, tabs and carriage returns.
std::string_view TrimLine(std::string_view line);

/// The number a word spells (decimal, optional sign and exponent), or nullopt when the word
/// is not entirely a finite number.
std::optional<double> ParseNumber(std::string_view word);

/// A number as the database files and formulas spell it: up to 10 significant digits, no
/// trailing zeros ("0.5", "1.234567891e-05").
std::string FormatNumber(double value);

}  // namespace varsel::engine::thermo
