#include "IgnoreLimits.h"

#include <cctype>

namespace varsel::cli {

bool IsIgnoreLimitsSwitch(const std::string& argument) {
    std::string lower = argument;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "/ie";
}

std::int16_t IgnoreLimitsPosition(const std::vector<std::string>& arguments) {
    std::size_t position = 1;
    for (const std::string& argument : arguments) {
        if (IsIgnoreLimitsSwitch(argument)) {
            return static_cast<std::int16_t>(position > 32767 ? 32767 : position);
        }
        position += argument.size() + 1;
    }
    return 0;
}

}  // namespace varsel::cli
