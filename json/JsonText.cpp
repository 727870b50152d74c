#include "json/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace varsel::json {

namespace {

using nlohmann::json;

void AppendIndent(std::string& out, int level) {
    out.append(static_cast<std::size_t>(4 * level), ' ');
}

// The length of the UTF-8 sequence that `lead` opens and the smallest code point it may
// carry (a smaller one is an overlong spelling); 0 for a byte that opens none.
int SequenceLength(unsigned char lead, std::uint32_t& smallest) {
    if (lead >= 0xC2 && lead <= 0xDF) return smallest = 0x80, 2;
    if (lead >= 0xE0 && lead <= 0xEF) return smallest = 0x800, 3;
    if (lead >= 0xF0 && lead <= 0xF4) return smallest = 0x10000, 4;
    return 0;
}

// `text` as a JSON string: quotes, backslashes and control characters escaped, UTF-8 kept as
// it is, and each byte that does not belong to a UTF-8 sequence (a Latin-1 title, a cut
// sequence) replaced by U+FFFD so that the file stays valid UTF-8.
void AppendString(std::string& out, const std::string& text) {
    static const char* const kHex = "0123456789abcdef";
    out += '"';
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (c < 0x20) {
                        out += "\\u00";
                        out += kHex[c >> 4];
                        out += kHex[c & 0xF];
                    } else {
                        out += static_cast<char>(c);
                    }
            }
            ++i;
            continue;
        }
        std::uint32_t smallest = 0;
        const int length = SequenceLength(c, smallest);
        std::uint32_t code = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        int taken = 1;
        while (taken < length && i + static_cast<std::size_t>(taken) < size &&
               (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
            ++taken;
        }
        const bool valid = length > 0 && taken == length && code >= smallest && code <= 0x10FFFF &&
                           (code < 0xD800 || code > 0xDFFF);
        if (valid) {
            out.append(text, i, static_cast<std::size_t>(length));
            i += static_cast<std::size_t>(length);
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    out += '"';
}

void AppendValue(std::string& out, const json& value, int level);

void AppendMembers(std::string& out, const json& value, int level) {
    const bool isObject = value.is_object();
    out += isObject ? "{\n" : "[\n";
    std::size_t left = value.size();
    for (auto it = value.begin(); it != value.end(); ++it) {
        AppendIndent(out, level + 1);
        if (isObject) {
            AppendString(out, it.key());
            out += ": ";
        }
        AppendValue(out, it.value(), level + 1);
        out += --left > 0 ? ",\n" : "\n";
    }
    AppendIndent(out, level);
    out += isObject ? '}' : ']';
}

void AppendValue(std::string& out, const json& value, int level) {
    switch (value.type()) {
        case json::value_t::object:
        case json::value_t::array:
            AppendMembers(out, value, level);
            break;
        case json::value_t::string:
            AppendString(out, value.get_ref<const std::string&>());
            break;
        case json::value_t::boolean:
            out += value.get<bool>() ? "true" : "false";
            break;
        case json::value_t::number_integer:
            out += std::to_string(value.get<std::int64_t>());
            break;
        case json::value_t::number_unsigned:
            out += std::to_string(value.get<std::uint64_t>());
            break;
        case json::value_t::number_float: {
            const double number = value.get<double>();
            out += std::isfinite(number) ? ShortestDouble(number) : "null";
            break;
        }
        default:
            out += "null";
    }
}

}  // namespace

std::string ShortestDouble(double value) {
    // An integer that a double holds exactly is written as one, without exponent.
    constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
    if (value == std::trunc(value) && std::fabs(value) <= kExactIntegers)
        return std::to_string(static_cast<std::int64_t>(value));

    // The shortest digits that read back to `value`, as d.ddde±x.
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific)
                         .ptr;
    const std::string scientific(buffer, end);
    const std::size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, 1);
    if (e > 2) digits += scientific.substr(2, e - 2);
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    const int count = static_cast<int>(digits.size());
    const int point = exponent + 1;  // digits before the decimal point

    // Whichever spelling is shorter; the plain one when both are as long.
    const int exponentDigits = std::abs(exponent) >= 100 ? 3 : 2;
    const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + exponentDigits;
    const int plainLength =
        point <= 0 ? 2 - point + count : std::max(count, point) + (count > point ? 1 : 0);
    std::string text = value < 0 ? "-" : "";
    if (scientificLength < plainLength) {
        text += digits.substr(0, 1);
        if (count > 1) text += "." + digits.substr(1);
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += tail;
    } else if (point <= 0) {
        text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= count) {
        text += digits + std::string(static_cast<std::size_t>(point - count), '0');
    } else {
        text += digits.substr(0, static_cast<std::size_t>(point)) + "." +
                digits.substr(static_cast<std::size_t>(point));
    }
    return text;
}

std::string JsonText(const nlohmann::json& value) {
    std::string out;
    AppendValue(out, value, 0);
    out += '\n';
    return out;
}

}  // namespace varsel::json
