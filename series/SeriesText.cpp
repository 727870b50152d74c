#include "series/SeriesText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace varsel::series {

namespace {

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80         ? 1
                                   : (c >> 5) == 6  ? 2
                                   : (c >> 4) == 14 ? 3
                                   : (c >> 3) == 30 ? 4
                                                    : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        }
        i += length;
    }
    return true;
}

std::string Trimmed(const std::string& cell) {
    const std::size_t first = cell.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string AsUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes)) return bytes;
    std::string text;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (b >> 6)));
            text.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return text;
}

bool ReadTextRows(const std::string& path, std::vector<TextRow>& rows, std::string& why) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::string(errno != 0 ? std::strerror(errno) : "cannot be opened");
        return false;
    }
    std::stringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        why = "cannot be read";
        return false;
    }
    rows.clear();
    std::string line;
    while (std::getline(content, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        TextRow row;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            row.push_back(Trimmed(AsUtf8(line.substr(start, tab - start))));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

bool IsEmptyRow(const TextRow& row) {
    for (const std::string& cell : row) {
        if (!cell.empty()) return false;
    }
    return true;
}

}  // namespace varsel::series
