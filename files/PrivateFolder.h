// A folder of the user's that nobody else can enter, for the records a program keeps between
// its runs. What is written there cannot be redirected by another user, since no other user
// can put a link or a file into it or into any folder above it.
#pragma once

#include <filesystem>
#include <string>

namespace varsel {

/// A private folder, or why there is none.
struct PrivateFolder {
    /// The folder; empty when it was refused.
    std::filesystem::path Path;
    /// Why it was refused, naming the folder and what is wrong with it; empty when it was not.
    std::string Problem;
};

/// Makes sure that `folder` is private and returns it: created with mode 0700 when missing
/// (its parent must exist), refused when it is not a folder, belongs to another user, lets
/// anyone else in (any permission for group or others), or when a folder above it may be
/// changed by another user (writable by others without the sticky bit, or by a group other
/// than the user's own, or owned by someone other than the user or the superuser).
PrivateFolder MakePrivateFolder(const std::filesystem::path& folder);

/// Varsel's private folder for records of running programs: varsel/ in $XDG_RUNTIME_DIR when
/// that is set to a folder of the user's with no permissions for anyone else, otherwise
/// varsel/ in the user's cache folder ($XDG_CACHE_HOME, or .cache in the home folder), which
/// is created with mode 0700 when missing. Checked as MakePrivateFolder checks.
PrivateFolder VarselPrivateFolder();

}  // namespace varsel
