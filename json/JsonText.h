// A JSON value as the text of a report file: four blanks of indent per level, one member or
// element per line, keys in byte order, an empty array or object over two lines, a number
// that holds an integer up to 2^53 as plain digits and any other number as the shortest
// decimal that reads back to the same double (the shorter of the plain and the exponent
// spelling), null for a number that is not finite, and text that is not UTF-8 with each stray
// byte replaced by U+FFFD.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace varsel::json {

/// `value` as indented JSON text, ending with a line feed.
std::string JsonText(const nlohmann::json& value);

/// The shortest decimal spelling of `value` that reads back to the same double, in the form
/// JsonText writes it; `value` must be finite.
std::string ShortestDouble(double value);

}  // namespace varsel::json
