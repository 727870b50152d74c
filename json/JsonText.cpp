#include "json/JsonText.h"

namespace varsel::json {

std::string JsonText(const nlohmann::json& value) {
    // A text that is not UTF-8 (a Latin-1 title, a cut sequence) keeps its valid part, and
    // each stray byte becomes U+FFFD, so that the file stays valid UTF-8. A number that is
    // not finite is written as null.
    return value.dump(4, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace varsel::json
