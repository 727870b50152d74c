// The settings file Varsel.ini, which carries the working folder from one start of the window
// to the next: one line "WorkDir=" followed by the folder.
#pragma once

#include <filesystem>
#include <string>

namespace varsel {

/// Name of the settings file; the window keeps it in the process's current folder.
inline constexpr const char* kSettingsFileName = "Varsel.ini";

/// The working folder that a settings file carries, or the empty text. Only the first line
/// counts, and only when it starts with exactly "WorkDir=" (letter case included); the rest
/// of the line, trimmed of blanks, is the folder. A folder without a trailing separator gets
/// one, since the data file's name is appended to it. A missing, empty or unreadable file, or
/// any other first line, gives the empty text; none of these is an error.
std::string ReadWorkFolder(const std::filesystem::path& file);

/// Creates or overwrites `file` with the single line "WorkDir=" + workFolder + CR LF (also
/// when workFolder is empty). Returns false when the file could not be written completely.
bool WriteWorkFolder(const std::filesystem::path& file, const std::string& workFolder);

}  // namespace varsel
