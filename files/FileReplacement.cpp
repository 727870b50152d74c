#include "files/FileReplacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace varsel {

namespace {

[[noreturn]] void Fail(int error) {
    if (error == kLinkRefused)
        throw FileProblem{error, "it is a symbolic link, which is not followed"};
    throw FileProblem{error, std::generic_category().message(error)};
}

int LastError() {
    return errno != 0 ? errno : EIO;
}

// The temporary files are named this, followed by the six characters mkostemp chooses.
constexpr const char* kTemporaryPrefix = ".varsel-";
constexpr std::size_t kTemporaryNameLength = 14;

bool IsTemporaryName(const std::string& name) {
    return name.size() == kTemporaryNameLength && name.rfind(kTemporaryPrefix, 0) == 0;
}

// The names of the file's extended attributes; none when the file system keeps none.
std::vector<std::string> AttributeNames(const fs::path& file) {
    std::vector<std::string> names;
    const ssize_t size = llistxattr(file.c_str(), nullptr, 0);
    if (size <= 0) return names;
    std::string list(static_cast<std::size_t>(size), '\0');
    const ssize_t got = llistxattr(file.c_str(), list.data(), list.size());
    if (got <= 0) return names;
    list.resize(static_cast<std::size_t>(got));
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find('\0', start);
        names.push_back(list.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return names;
}

// Gives the temporary file what the old file had besides its bytes. Each step is done where
// the user may: another owner needs privileges, and some attribute namespaces belong to the
// system; the old file keeps what it had either way, the new text just goes without it.
void CopyOwnership(const fs::path& from, int to) {
    struct stat old {};
    if (lstat(from.c_str(), &old) != 0) {
        // The file is new: it gets the mode a newly created file gets.
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(to, 0666 & ~mask) != 0) Fail(LastError());
        return;
    }
    // A link put in the file's place since the replacement began would lend its target's
    // owner and mode to the new file.
    if (S_ISLNK(old.st_mode)) Fail(kLinkRefused);
    if (fchown(to, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored = fchown(to, static_cast<uid_t>(-1), old.st_gid);
    }
    // The access control lists travel as the attribute system.posix_acl_access.
    for (const std::string& name : AttributeNames(from)) {
        const ssize_t size = lgetxattr(from.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) continue;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = lgetxattr(from.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0) continue;
        fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0);
    }
    // After the owner: changing it clears the set-user and set-group bits.
    if (fchmod(to, old.st_mode & 07777) != 0) Fail(LastError());
}

void WriteAll(int descriptor, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        errno = 0;
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) Fail(LastError());
        done += static_cast<std::size_t>(written);
    }
}

// Flushes the folder, so that the renamed entry is on disk too. Some file systems cannot flush
// a folder; the replacement has happened by then and stands.
void FlushFolder(const fs::path& folder) {
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
}

}  // namespace

fs::path ReplacedFile(const fs::path& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        const fs::path target = fs::weakly_canonical(path, error);
        if (!error) return target;
    }
    return path;
}

FileReplacement::FileReplacement(const fs::path& file) : file_(file) {
    struct stat entry {};
    if (lstat(file_.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) Fail(kLinkRefused);
    // Opening for writing without truncating changes nothing; it only asks whether the
    // file would take the new text in place. A FIFO answers at once instead of waiting for
    // a reader.
    errno = 0;
    const int probe =
        open(file_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (probe >= 0) {
        close(probe);
    } else if (errno != ENOENT) {
        Fail(LastError());
    }
    // A short name: the file's own name may already be near the length limit of a name.
    fs::path pattern = file_;
    pattern.replace_filename(std::string(kTemporaryPrefix) + "XXXXXX");
    std::string name = pattern.string();
    errno = 0;
    descriptor_ = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor_ < 0) Fail(LastError());
    temporary_ = name;
    // Held until the descriptor is closed, also when the process is killed.
    flock(descriptor_, LOCK_EX | LOCK_NB);
}

FileReplacement::~FileReplacement() {
    if (descriptor_ >= 0) close(descriptor_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
}

void FileReplacement::Reserve(std::uintmax_t bytes) {
    if (bytes == 0) return;
    const int error = posix_fallocate(descriptor_, 0, static_cast<off_t>(bytes));
    if (error != 0) Fail(error);
}

void FileReplacement::Commit(const std::string& text) {
    WriteAll(descriptor_, text);
    // Space reserved beyond the text is given back.
    errno = 0;
    if (ftruncate(descriptor_, static_cast<off_t>(text.size())) != 0) Fail(LastError());
    CopyOwnership(file_, descriptor_);
    errno = 0;
    if (fsync(descriptor_) != 0) Fail(LastError());
    // Renamed while still open, and so still locked: a clean-up by another run in between
    // would take an unlocked temporary for a killed run's leftover and delete it.
    errno = 0;
    if (rename(temporary_.c_str(), file_.c_str()) != 0) Fail(LastError());
    temporary_.clear();
    const int closed = close(descriptor_);
    descriptor_ = -1;
    if (closed != 0) Fail(LastError());
    FlushFolder(file_.parent_path());
}

void RemoveStaleReplacements(const fs::path& file) {
    std::error_code error;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path candidate = entries->path();
        if (!IsTemporaryName(candidate.filename().string())) continue;
        const int descriptor =
            open(candidate.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (descriptor < 0) continue;
        // Only a regular file of this user's can be a temporary of this user's runs; a live
        // replacement holds the lock, so only a file nobody holds is stale.
        struct stat opened {};
        if (fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) &&
            opened.st_uid == geteuid() && flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            fs::remove(candidate, ignored);
        }
        close(descriptor);
    }
}

std::string ReplacementProblem(const fs::path& file) {
    try {
        FileReplacement probe(file);
    } catch (const FileProblem& problem) {
        return problem.reason;
    }
    return std::string();
}

}  // namespace varsel
