// Replacing the whole content of a file so that a failure or a power loss leaves either the
// old content or the new one, never a mix and never an empty file.
//
// The new text goes to a temporary file with a short name in the same folder. That file takes
// the old one's owner and group (where the user may give them), its extended attributes (the
// access control lists among them) and its mode, is flushed to disk, and is renamed over the
// old file; the folder is flushed after the rename so that the new name survives as well.
// While it is written the temporary file is locked, so that a later run can tell one left by
// a killed process from one still in use.
//
// No fixed name is ever opened for writing: the temporary file gets a name nobody can foresee
// and is created only where no entry stands, a symbolic link where the file should be is
// refused rather than followed, since in a folder that others may write someone else may have
// put it there to have this program overwrite a file of their choosing, and a hard link there
// only loses its name to the rename.
#pragma once

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>

namespace varsel {

/// A file operation that failed: the system's error number and its reason.
struct FileProblem {
    int number;
    std::string reason;
};

/// The error number of a FileProblem raised because a symbolic link stands at the file's place.
inline constexpr int kLinkRefused = ELOOP;

/// The file that a replacement of `path` really rewrites: a symbolic link is followed, so that
/// the link stays a link. Only for a path the user named, whose links are the user's own.
std::filesystem::path ReplacedFile(const std::filesystem::path& path);

/// One replacement of a file's content. Creating it checks that the file (when it exists) is
/// no symbolic link and can be opened for writing, and creates the temporary file beside it;
/// neither changes the file. The temporary file is removed again unless Commit succeeded.
class FileReplacement {
  public:
    /// Throws FileProblem when the file is a symbolic link (number kLinkRefused), cannot be
    /// written, or the temporary file cannot be created.
    explicit FileReplacement(const std::filesystem::path& file);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    /// Sets `bytes` of disk space aside for the temporary file, so that a disk too full to
    /// take the new text is found now rather than when it is written. Throws FileProblem
    /// ("No space left on device").
    void Reserve(std::uintmax_t bytes);

    /// Writes `text` to the temporary file, gives it the file's owner, attributes and mode,
    /// flushes it and renames it over the file. The temporary file stays locked until it has
    /// been renamed, so that no clean-up of another run takes it for a killed run's
    /// leftover. Throws FileProblem; the file is then unchanged.
    void Commit(const std::string& text);

  private:
    std::filesystem::path file_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
};

/// Removes the temporary files that replacements in `file`'s folder left behind when their
/// process was killed before it could finish or remove them. A temporary that a live
/// replacement still holds is left alone, and so is anything that is not a regular file of
/// this user's (a link or a file someone else put there under such a name). Never throws.
void RemoveStaleReplacements(const std::filesystem::path& file);

/// The system's reason why `file` could not be replaced now (see FileReplacement), or empty
/// when it can. Leaves the file and its folder as they were.
std::string ReplacementProblem(const std::filesystem::path& file);

}  // namespace varsel
