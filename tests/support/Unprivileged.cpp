#include "support/Unprivileged.h"

#include <sys/wait.h>
#include <unistd.h>

namespace varsel::test {

int RunUnprivileged(const std::function<int()>& body) {
    if (geteuid() != 0) return body();
    const pid_t child = fork();
    if (child < 0) return kCannotDropPrivileges;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(kCannotDropPrivileges);
        _exit(body() & 0xFF);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 255;
    return WEXITSTATUS(status);
}

}  // namespace varsel::test
