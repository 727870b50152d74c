// Where the engine finds the data files it opens by name: thermodynamic databases, System
// files and the parameter files of the activity models. A name is looked for, in order, in
// the working folder, in $VARSEL_DATA_DIR/<kind>/, in <folder of the executable>/../share/
// varsel/<kind>/, in the installed data folder and in the data/<kind>/ folder of the source
// tree. A name may be given with or without its extension; an absolute path is used as it is.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varsel::engine {

/// The kinds of data file, each in a sub-folder of the data folders of its own name.
enum class DataKind {
    Databases,  ///< "databases"
    Systems,    ///< "systems"
    Activity    ///< "activity": parameter files of the activity models
};

/// The sub-folder name of a kind.
std::string_view DataKindFolder(DataKind kind);

/// The folders searched for a kind, in search order (the working folder first when given;
/// folders that do not exist are left out).
std::vector<std::filesystem::path> DataSearchFolders(DataKind kind,
                                                     const std::filesystem::path& workFolder);

/// The search folders as a message names them: "a, b, c", or "no data folder" when none exists.
std::string SearchedFoldersText(DataKind kind, const std::filesystem::path& workFolder);

/// The first existing regular file for `name` in the search folders: the name as given, then
/// the name with each of `extensions` (written with their dot, e.g. ".vdb") appended when the
/// name has none of them. Empty when nothing is found.
std::filesystem::path ResolveDataFile(std::string_view name, DataKind kind,
                                      const std::filesystem::path& workFolder,
                                      std::span<const std::string_view> extensions);

}  // namespace varsel::engine
