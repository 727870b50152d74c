#include "shell/CommandLine.h"

#include <cctype>

namespace varsel {

std::int16_t IgnoreLimitsPosition(const std::string& commandLine) {
    std::string lower = commandLine;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto position = lower.find("/ie");
    if (position == std::string::npos) return 0;
    return position + 1 > 32767 ? std::int16_t{32767} : static_cast<std::int16_t>(position + 1);
}

std::string JoinArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line.push_back(' ');
        line += argv[i];
    }
    return line;
}

}  // namespace varsel
