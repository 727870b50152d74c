#include "files/MessageText.h"

#include <system_error>

namespace varsel {

std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out.push_back(c);
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        }
    }
    return out;
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

std::string PathAndReason(std::string_view path, std::string_view reason) {
    std::string out = Printable(path);
    out += ": ";
    out += reason;
    return out;
}

}  // namespace varsel
