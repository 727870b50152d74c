// How messages quote what comes from outside the program: text read from a data file or
// handed back by the engine, paths, and the system's reason for a failed file operation.
// A control character (a stray carriage return at the end of a cell, say) would be invisible
// or break the message's line; it is written as an escape instead.
#pragma once

#include <string>
#include <string_view>

namespace varsel {

/// The text with every control character (bytes 0x00 to 0x1F and 0x7F) written as an escape:
/// \r, \n, \t, or \x followed by two hexadecimal digits. Other bytes pass unchanged.
std::string Printable(std::string_view text);

/// The system's reason for an error number (errno), for example "No such file or directory".
std::string SystemReason(int error);

/// "path: reason", with the path made printable.
std::string PathAndReason(std::string_view path, std::string_view reason);

}  // namespace varsel
