#include "shell/FileChoice.h"

#include <filesystem>

namespace varsel {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == std::filesystem::path::preferred_separator;
}

// "/" on Linux, and "C:\" or "C:/" where drive letters exist.
bool IsRoot(const std::string& folder) {
    if (folder.size() == 1) return IsSeparator(folder[0]);
    return folder.size() == 3 && folder[1] == ':' && IsSeparator(folder[2]);
}

}  // namespace

std::string DialogStartFolder(const std::string& workFolder, const std::string& homeFolder) {
    if (workFolder.empty()) return homeFolder;
    if (IsSeparator(workFolder.back()) && !IsRoot(workFolder))
        return workFolder.substr(0, workFolder.size() - 1);
    return workFolder;
}

std::vector<std::string> FileFilters(const std::string& description, const std::string& pattern) {
    std::string patterns = pattern;
    for (char& c : patterns)
        if (c == ';') c = ' ';
    return {description + " (" + patterns + ")", "All files (*)"};
}

bool SplitChosenPath(const std::string& path, std::string& folder, std::string& fileName) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (IsSeparator(path[i])) last = i;
    if (last == std::string::npos || last + 1 == path.size()) return false;
    folder = path.substr(0, last + 1);
    fileName = path.substr(last + 1);
    return true;
}

}  // namespace varsel
