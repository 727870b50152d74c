// The rows of a small tab-delimited text file, as the data files are written: bytes read as
// UTF-8 where they are valid UTF-8 and as Latin-1 otherwise, lines ended by LF or CR LF,
// cells split at tabs and trimmed of blanks.
#pragma once

#include <string>
#include <vector>

namespace varsel::series {

using TextRow = std::vector<std::string>;

/// The rows of the file at `path`; false when it cannot be read (`why` says so).
bool ReadTextRows(const std::string& path, std::vector<TextRow>& rows, std::string& why);

/// The text as UTF-8: unchanged when it is valid UTF-8, else each byte taken as Latin-1.
std::string AsUtf8(const std::string& bytes);

/// True when the row has no cell with text.
bool IsEmptyRow(const TextRow& row);

}  // namespace varsel::series
