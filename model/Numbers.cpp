#include "model/Numbers.h"

#include <atomic>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <system_error>

#include "model/RuntimeFailure.h"

namespace varsel {

namespace {

// Set once by a front end at start-up and read by every writer; atomic so that fits on
// several threads may read it while a front end sets it.
std::atomic<char> g_separator{'.'};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Either decimal separator reads: the file has no thousands grouping, so a comma or a point
// between digits can only be the decimal separator, whoever wrote the file.
bool IsSeparator(char c) {
    return c == '.' || c == ',';
}

[[noreturn]] void ThrowTypeMismatch() {
    throw RuntimeFailure(kTypeMismatch, "Type mismatch");
}
[[noreturn]] void ThrowOverflow() {
    throw RuntimeFailure(kOverflow, "Overflow");
}

// Rewrites a numeric text into the form std::from_chars reads: no blanks, no leading '+',
// '.' as the separator. Fails with a type mismatch when the text is not numeric.
std::string Canonical(std::string_view text) {
    if (!IsNumeric(text)) ThrowTypeMismatch();
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ') continue;
        if (IsSeparator(c)) {
            out.push_back('.');
        } else {
            out.push_back(c);
        }
    }
    if (!out.empty() && out[0] == '+') out.erase(0, 1);
    return out;
}

double ParseDouble(const std::string& canonical) {
    double value = 0;
    const char* first = canonical.data();
    const char* last = first + canonical.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Either beyond the double range or below its smallest magnitude: decide by the
        // exponent's sign, which is all that matters for the callers' range checks.
        const auto e = canonical.find_first_of("eE");
        const bool tiny =
            e != std::string::npos && e + 1 < canonical.size() && canonical[e + 1] == '-';
        if (tiny) return 0.0;
        ThrowOverflow();
    }
    if (ec != std::errc() || ptr != last) ThrowTypeMismatch();
    return value;
}

// Decimal digits and exponent of a finite, non-zero value rounded to at most `maxDigits`
// significant digits, with the shortest spelling that reads back exactly when that is short
// enough. digits holds no trailing zeros; the value is 0.d1d2d3... x 10^(exponent + 1).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;  // decimal exponent of the first digit
};

template <class T>
Decimal Decompose(T value, int maxDigits) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string text(buffer, result.ptr);
    auto mantissaDigits = [](const std::string& s) {
        const auto e = s.find('e');
        int count = 0;
        for (std::size_t i = 0; i < e; ++i)
            count += IsDigit(s[i]) ? 1 : 0;
        return count;
    };
    if (mantissaDigits(text) > maxDigits) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                               maxDigits - 1);
        text.assign(buffer, result.ptr);
    }
    Decimal d;
    std::size_t i = 0;
    if (text[i] == '-') {
        d.negative = true;
        ++i;
    }
    const auto e = text.find('e');
    for (; i < e; ++i) {
        if (IsDigit(text[i])) d.digits.push_back(text[i]);
    }
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    d.exponent = std::stoi(text.substr(e + 1));
    return d;
}

std::string Spell(const Decimal& d, int plainBelowExponent) {
    std::string out;
    if (d.negative) out.push_back('-');
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent >= -5 && d.exponent < plainBelowExponent) {
        if (d.exponent < 0) {
            out += '0';
            out += g_separator.load(std::memory_order_relaxed);
            out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            out += d.digits;
        } else if (n <= d.exponent + 1) {
            out += d.digits;
            out.append(static_cast<std::size_t>(d.exponent + 1 - n), '0');
        } else {
            out += d.digits.substr(0, static_cast<std::size_t>(d.exponent + 1));
            out += g_separator.load(std::memory_order_relaxed);
            out += d.digits.substr(static_cast<std::size_t>(d.exponent + 1));
        }
        return out;
    }
    out += d.digits[0];
    if (n > 1) {
        out += g_separator.load(std::memory_order_relaxed);
        out += d.digits.substr(1);
    }
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                  std::abs(d.exponent));
    out += exponent;
    return out;
}

}  // namespace

char DecimalSeparator() {
    return g_separator.load(std::memory_order_relaxed);
}

void SetDecimalSeparator(char separator) {
    g_separator.store(separator, std::memory_order_relaxed);
}

char DecimalSeparatorFromLocale() {
    // Look at the user's numeric conventions, then put the C conventions back so that no
    // other formatting in the process depends on the environment.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    char separator = '.';
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const std::lconv* conventions = std::localeconv();
        if (conventions != nullptr && conventions->decimal_point != nullptr &&
            conventions->decimal_point[0] != '\0' && conventions->decimal_point[1] == '\0') {
            separator = conventions->decimal_point[0];
        }
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    return separator;
}

bool IsNumeric(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    int digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && IsSeparator(text[i])) {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        int exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) return false;
    }
    while (i < n && text[i] == ' ')
        ++i;
    return i == n;
}

float ToFloat(std::string_view text) {
    const std::string canonical = Canonical(text);
    float value = 0;
    const char* first = canonical.data();
    const char* last = first + canonical.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it is out of range: a magnitude below the
        // float range reads as 0, one above it is an overflow.
        const double wide = ParseDouble(canonical);
        if (std::fabs(wide) < 1.0) return std::signbit(wide) ? -0.0f : 0.0f;
        ThrowOverflow();
    }
    if (ec != std::errc() || ptr != last) ThrowTypeMismatch();
    if (!std::isfinite(value)) ThrowOverflow();
    return value;
}

std::int16_t ToInt16(std::string_view text) {
    const double value = ParseDouble(Canonical(text));
    const double rounded = std::nearbyint(value);  // default rounding: halves to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) ThrowOverflow();
    return static_cast<std::int16_t>(rounded);
}

std::string ShortForm(float value) {
    if (value == 0.0f) return "0";
    if (!std::isfinite(value)) throw RuntimeFailure(kInvalidOperation, "Invalid value");
    return Spell(Decompose(value, 7), 7);
}

std::string ShortForm(double value) {
    if (value == 0.0) return "0";
    if (!std::isfinite(value)) throw RuntimeFailure(kInvalidOperation, "Invalid value");
    return Spell(Decompose(value, 15), 15);
}

std::string ShortForm(std::int16_t value) {
    return std::to_string(value);
}

namespace {
// Built by appending: GCC 12 warns falsely (-Wrestrict) on " " + text + " " in optimised builds.
std::string Padded(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back(' ');
    out.append(text);
    out.push_back(' ');
    return out;
}
}  // namespace

std::string PrintForm(float value) {
    return Padded(ShortForm(value));
}

std::string PrintForm(std::int16_t value) {
    return Padded(ShortForm(value));
}

std::string FixedSix(double value) {
    if (!std::isfinite(value)) throw RuntimeFailure(kInvalidOperation, "Invalid value");
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    std::string out(buffer);
    for (char& c : out) {
        if (c == '.') c = g_separator.load(std::memory_order_relaxed);
    }
    return out;
}

}  // namespace varsel
