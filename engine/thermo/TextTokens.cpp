#include "engine/thermo/TextTokens.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace varsel::engine::thermo {

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string_view TrimLine(std::string_view line) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    return line;
}

std::optional<double> ParseNumber(std::string_view word) {
    if (word.empty()) return std::nullopt;
    // from_chars takes no leading "+"; a database may well write one.
    if (word.front() == '+') word.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || ptr != word.data() + word.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatNumber(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

}  // namespace varsel::engine::thermo
