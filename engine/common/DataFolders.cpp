#include "engine/common/DataFolders.h"

#include <cstdlib>
#include <system_error>

namespace varsel::engine {

namespace fs = std::filesystem;

namespace {

// The folder of the running executable (empty where the platform does not tell).
fs::path ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

bool IsFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

void AddFolder(std::vector<fs::path>& folders, const fs::path& folder) {
    if (!IsFolder(folder)) return;
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(folder, ec);
    if (ec) canonical = folder;
    for (const fs::path& known : folders)
        if (known == canonical) return;
    folders.push_back(canonical);
}

}  // namespace

std::string_view DataKindFolder(DataKind kind) {
    switch (kind) {
        case DataKind::Databases:
            return "databases";
        case DataKind::Systems:
            return "systems";
        case DataKind::Activity:
            break;
    }
    return "activity";
}

std::vector<fs::path> DataSearchFolders(DataKind kind, const fs::path& workFolder) {
    const std::string sub(DataKindFolder(kind));
    std::vector<fs::path> folders;
    if (!workFolder.empty()) AddFolder(folders, workFolder);
    if (const char* env = std::getenv("VARSEL_DATA_DIR"); env && *env)
        AddFolder(folders, fs::path(env) / sub);
    if (fs::path exe = ExecutableFolder(); !exe.empty())
        AddFolder(folders, exe / ".." / "share" / "varsel" / sub);
#ifdef VARSEL_INSTALL_DATA_DIR
    AddFolder(folders, fs::path(VARSEL_INSTALL_DATA_DIR) / sub);
#endif
#ifdef VARSEL_SOURCE_DATA_DIR
    AddFolder(folders, fs::path(VARSEL_SOURCE_DATA_DIR) / sub);
#endif
    return folders;
}

std::string SearchedFoldersText(DataKind kind, const fs::path& workFolder) {
    std::string text;
    for (const fs::path& folder : DataSearchFolders(kind, workFolder)) {
        if (!text.empty()) text += ", ";
        text += folder.string();
    }
    return text.empty() ? std::string("no data folder") : text;
}

fs::path ResolveDataFile(std::string_view name, DataKind kind, const fs::path& workFolder,
                         std::span<const std::string_view> extensions) {
    if (name.empty()) return {};
    const fs::path given{std::string(name)};
    std::vector<fs::path> candidates{given};
    const std::string extension = given.extension().string();
    bool hasKnownExtension = false;
    for (std::string_view e : extensions)
        if (extension == e) hasKnownExtension = true;
    if (!hasKnownExtension)
        for (std::string_view e : extensions)
            candidates.push_back(fs::path(std::string(name) + std::string(e)));

    if (given.is_absolute()) {
        for (const fs::path& candidate : candidates)
            if (IsFile(candidate)) return candidate;
        return {};
    }
    for (const fs::path& folder : DataSearchFolders(kind, workFolder))
        for (const fs::path& candidate : candidates)
            if (IsFile(folder / candidate)) return folder / candidate;
    return {};
}

}  // namespace varsel::engine
