// The cell rules of the text form of the data file.
#pragma once

#include <string>
#include <string_view>

namespace varsel {

/// The text without leading and trailing blanks (spaces only; tabs are kept).
std::string TrimBlanks(std::string_view text);

/// Takes the next cell off a line: the text up to the first tab (or the whole rest), trimmed
/// of blanks, with one pair of enclosing double quotes removed when the cell is longer than
/// one character. The line keeps what follows the tab, trimmed of blanks; a used-up line
/// gives empty cells.
std::string TakeTextCell(std::string& line);

}  // namespace varsel
