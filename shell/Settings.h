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

/// Creates or replaces `file` with the single line "WorkDir=" + workFolder + CR LF (also when
/// workFolder is empty), through a temporary file beside it, so the old settings stay whole
/// when the write fails. A symbolic link at `file` is refused, not followed: the folder may be
/// shared, and someone else may have put the link there. Returns the message that tells the
/// user so; empty when the file was written, and also when it could not be for another reason
/// (a read-only folder), which leaves the old file and says nothing.
std::string WriteWorkFolder(const std::filesystem::path& file, const std::string& workFolder);

}  // namespace varsel
