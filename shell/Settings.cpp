#include "shell/Settings.h"

#include <filesystem>
#include <fstream>
#include <string_view>

#include "files/FileReplacement.h"
#include "files/MessageText.h"

namespace varsel {

namespace {

constexpr std::string_view kWorkDirKey = "WorkDir=";

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string ReadWorkFolder(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::string();
    std::string line;
    if (!std::getline(in, line)) return std::string();
    // The program writes CR LF; a file edited elsewhere may end its line with LF alone.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, kWorkDirKey.size(), kWorkDirKey) != 0) return std::string();
    std::string folder = TrimBlanks(line.substr(kWorkDirKey.size()));
    // The data source puts the file name directly after the folder, so a hand-written folder
    // without its separator would name a file that does not exist.
    const char separator = std::filesystem::path::preferred_separator;
    if (!folder.empty() && folder.back() != separator && folder.back() != '/')
        folder.push_back(separator);
    return folder;
}

std::string WriteWorkFolder(const std::filesystem::path& file, const std::string& workFolder) {
    try {
        FileReplacement(file).Commit(std::string(kWorkDirKey) + workFolder + "\r\n");
    } catch (const FileProblem& problem) {
        if (problem.number == kLinkRefused) {
            return "The settings are not saved: " + Printable(file.string()) +
                   " is a symbolic link, which Varsel does not follow.  ";
        }
    }
    return std::string();
}

}  // namespace varsel
