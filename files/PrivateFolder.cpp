#include "files/PrivateFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace varsel {

namespace {

std::string Mode(mode_t mode) {
    char text[16];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

PrivateFolder Refused(const fs::path& folder, const std::string& why) {
    return {fs::path(), folder.string() + " " + why};
}

// Why another user could change what `path` or a folder above it holds, or empty when nobody
// can but the user and the superuser. Parts that do not exist yet are skipped.
std::string OpenAbove(const fs::path& path) {
    for (fs::path part = path;; part = part.parent_path()) {
        struct stat entry {};
        if (stat(part.c_str(), &entry) == 0) {
            if (entry.st_uid != 0 && entry.st_uid != geteuid())
                return part.string() + " belongs to another user";
            // In a sticky folder, others may add entries but not rename or remove this one.
            const bool sticky = (entry.st_mode & S_ISVTX) != 0;
            const bool group = (entry.st_mode & S_IWGRP) != 0 && entry.st_gid != getegid();
            if (!sticky && ((entry.st_mode & S_IWOTH) != 0 || group))
                return part.string() + " may be changed by other users (mode " +
                       Mode(entry.st_mode) + ")";
        } else if (errno != ENOENT) {
            return part.string() + " cannot be examined: " + std::generic_category().message(errno);
        }
        if (part == part.parent_path() || part.empty()) return std::string();
    }
}

// OpenAbove for the path as written and for the path its links lead to: the folders that hold
// the links and those that hold their targets.
std::string OpenAlongTheWay(const fs::path& path) {
    std::error_code error;
    const fs::path written = fs::absolute(path, error);
    if (error) return path.string() + " cannot be examined: " + error.message();
    std::string problem = OpenAbove(written);
    if (problem.empty()) {
        const fs::path resolved = fs::weakly_canonical(written, error);
        if (!error && resolved != written) problem = OpenAbove(resolved);
    }
    return problem;
}

fs::path Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? fs::path(value) : fs::path();
}

fs::path CacheFolder() {
    // Relative paths in these variables are to be ignored.
    if (const fs::path cache = Environment("XDG_CACHE_HOME"); cache.is_absolute()) return cache;
    fs::path home = Environment("HOME");
    if (!home.is_absolute()) {
        const passwd* user = getpwuid(geteuid());
        if (user == nullptr || user->pw_dir == nullptr) return fs::path();
        home = user->pw_dir;
    }
    return home / ".cache";
}

}  // namespace

PrivateFolder MakePrivateFolder(const fs::path& folder) {
    // Nothing is created below a folder that someone else controls.
    if (std::string problem = OpenAlongTheWay(folder.parent_path()); !problem.empty())
        return {fs::path(), problem};
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Refused(folder, "cannot be created: " + std::generic_category().message(errno));
    struct stat entry {};
    if (lstat(folder.c_str(), &entry) != 0)
        return Refused(folder, "cannot be examined: " + std::generic_category().message(errno));
    if (S_ISLNK(entry.st_mode)) return Refused(folder, "is a symbolic link");
    if (!S_ISDIR(entry.st_mode)) return Refused(folder, "is not a folder");
    if (entry.st_uid != geteuid()) return Refused(folder, "belongs to another user");
    if ((entry.st_mode & 077) != 0)
        return Refused(folder, "is open to other users (mode " + Mode(entry.st_mode) + ")");
    return {folder, std::string()};
}

PrivateFolder VarselPrivateFolder() {
    // The runtime folder counts only as its owner must keep it: the user's, closed to others.
    const fs::path runtime = Environment("XDG_RUNTIME_DIR");
    struct stat entry {};
    if (runtime.is_absolute() && stat(runtime.c_str(), &entry) == 0 && S_ISDIR(entry.st_mode) &&
        entry.st_uid == geteuid() && (entry.st_mode & 077) == 0) {
        return MakePrivateFolder(runtime / "varsel");
    }
    const fs::path cache = CacheFolder();
    if (cache.empty()) return {fs::path(), "no home folder to keep records in"};
    if (std::string problem = OpenAlongTheWay(cache); !problem.empty())
        return {fs::path(), problem};
    std::error_code ignored;
    if (!fs::exists(cache, ignored)) {
        fs::create_directories(cache.parent_path(), ignored);
        mkdir(cache.c_str(), 0700);
    }
    return MakePrivateFolder(cache / "varsel");
}

}  // namespace varsel
