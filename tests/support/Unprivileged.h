// Runs a piece of a test as a user whom file permissions bind. Tests of read-only files and
// folders mean nothing to the superuser, who may write anyway; under it the piece runs in a
// child process that has given up its privileges.
#pragma once

#include <functional>

namespace varsel::test {

/// Exit code of RunUnprivileged when the privileges could not be given up.
inline constexpr int kCannotDropPrivileges = 77;

/// Runs `body` and returns what it returns (0 for success). Under the superuser it runs in a
/// forked child as the user "nobody" and its result is the child's exit code, so `body`
/// must report through its result, not through test assertions.
int RunUnprivileged(const std::function<int()>& body);

}  // namespace varsel::test
