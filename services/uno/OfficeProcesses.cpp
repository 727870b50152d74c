#include "services/uno/OfficeProcesses.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace varsel::calc {

namespace {

constexpr const char* kProfileArgument = "-env:UserInstallation=";

std::string ReadWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The profile argument of a command line whose arguments are separated by NUL bytes, or the
// empty text when it has none.
std::string ProfileOf(const std::string& commandLine) {
    const std::string key = kProfileArgument;
    std::size_t start = 0;
    while (start < commandLine.size()) {
        std::size_t end = commandLine.find('\0', start);
        if (end == std::string::npos) end = commandLine.size();
        const std::string argument = commandLine.substr(start, end - start);
        if (argument.compare(0, key.size(), key) == 0) return argument.substr(key.size());
        start = end + 1;
    }
    return std::string();
}

}  // namespace

std::vector<pid_t> RunningOffices(const std::string& userInstallation) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        struct stat info {};
        if (stat(entry.path().c_str(), &info) != 0 || info.st_uid != getuid()) continue;
        std::string command = ReadWhole(entry.path() / "comm");
        while (!command.empty() && (command.back() == '\n' || command.back() == '\0'))
            command.pop_back();
        if (command != "soffice.bin") continue;
        // A process that has ended but was not reaped yet shows an empty command line.
        const std::string commandLine = ReadWhole(entry.path() / "cmdline");
        if (commandLine.empty()) continue;
        if (ProfileOf(commandLine) == userInstallation) found.push_back(std::atoi(name.c_str()));
    }
    return found;
}

pid_t LaunchDetached(const std::string& program, const std::vector<std::string>& arguments) {
    if (access(program.c_str(), X_OK) != 0) return -1;
    // Everything the children need is prepared before forking: between fork and exec only
    // async-signal-safe calls are allowed in a process that runs other threads.
    std::vector<std::string> texts;
    texts.push_back(program);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return -1;
    }
    if (child == 0) {
        // The intermediate child starts the office and ends at once, so the office is adopted
        // by init and this program never has to reap it.
        const pid_t office = fork();
        if (office == 0) {
            setsid();
            // Whoever may write the office's pipe socket may connect and drive the office as
            // this user: whatever the user's umask, group and others get no write permission.
            umask(umask(0) | 022);
            const int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, 0);
                dup2(null, 1);
                dup2(null, 2);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
        const ssize_t written = write(channel[1], &office, sizeof office);
        _exit(written == static_cast<ssize_t>(sizeof office) ? 0 : 1);
    }
    close(channel[1]);
    pid_t office = -1;
    ssize_t got = -1;
    do {
        got = read(channel[0], &office, sizeof office);
    } while (got < 0 && errno == EINTR);
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (got != static_cast<ssize_t>(sizeof office)) return -1;
    return office;
}

void EndProcessGroup(pid_t leader, int graceMs) {
    if (leader <= 0) return;
    if (kill(-leader, SIGTERM) != 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (kill(-leader, 0) != 0 && errno == ESRCH) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(-leader, SIGKILL);
}

bool ProcessAlive(pid_t pid) {
    if (pid <= 0) return false;
    return kill(pid, 0) == 0 || errno == EPERM;
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return true;
    }
    return false;
}

}  // namespace varsel::calc
