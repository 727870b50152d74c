// A JSON value as the text of a report file: four blanks of indent per level, keys in byte
// order, numbers as the shortest decimal that reads back to the same double, null for a
// number that is not finite, and text that is not UTF-8 with each stray byte replaced by
// U+FFFD.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace varsel::json {

/// `value` as indented JSON text, ending with a line feed.
std::string JsonText(const nlohmann::json& value);

}  // namespace varsel::json
