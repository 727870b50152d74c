#include "model/TextCells.h"

namespace varsel {

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string();
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string TakeTextCell(std::string& line) {
    const auto tab = line.find('\t');
    std::string cell;
    if (tab == std::string::npos) {
        cell = TrimBlanks(line);
        line.clear();
    } else {
        cell = TrimBlanks(std::string_view(line).substr(0, tab));
        line = TrimBlanks(std::string_view(line).substr(tab + 1));
    }
    if (cell.size() > 1 && cell.front() == '"' && cell.back() == '"') {
        cell = cell.substr(1, cell.size() - 2);
    }
    return cell;
}

}  // namespace varsel
