#include "services/uno/OfficeGuardian.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace varsel::calc {

namespace {

// How long a run waits for a new guardian to reach the office before it goes on without
// waiting (the guardian still takes up its watch once connected). Generous: the guardian's
// start loads the UNO runtime, which takes long on a busy machine.
constexpr int kReadyTimeoutMs = 20000;
// How long a guardian told to quit may take to end before it is killed.
constexpr auto kQuitGrace = std::chrono::seconds(5);

bool Executable(const std::filesystem::path& file) {
    return !file.empty() && access(file.c_str(), X_OK) == 0;
}

bool Within(const std::filesystem::path& file, const std::filesystem::path& folder) {
    const std::string text = file.lexically_normal().string();
    const std::string prefix = (folder.lexically_normal() / "").string();
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

OfficeGuardian::OfficeGuardian(std::string program, std::string pipeName,
                               std::string lockRecordPath)
    : program_(std::move(program)),
      pipeName_(std::move(pipeName)),
      lockRecordPath_(std::move(lockRecordPath)) {}

OfficeGuardian::~OfficeGuardian() {
    Stop();
}

void OfficeGuardian::Locking(const std::string& document) {
    if (process_ < 0) Start();
    Send("L" + document + "\n");
}

void OfficeGuardian::Released() {
    Send("U\n");
}

void OfficeGuardian::Start() {
    if (failed_ || program_.empty()) return;
    failed_ = true;  // until it has started
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;

    // The guardian's end of the socket becomes its standard input (dup2 drops close-on-exec);
    // its output goes nowhere, so that it never holds open a pipe that reads this program's
    // output. It runs in a session of its own, so that a signal sent to this program's process
    // group (Ctrl+C in a terminal) does not end it along with this program.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> texts = {program_, pipeName_, lockRecordPath_,
                                      std::to_string(getpid())};
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    // posix_spawn neither copies this program's threads nor runs anything of it in the child
    // before the exec, which keeps the start safe beside the UNO bridge's threads.
    pid_t process = -1;
    const int spawned =
        posix_spawn(&process, program_.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        return;
    }
    process_ = process;
    socket_ = ends[0];

    // The guardian writes one byte once it is connected to the office, or ends when it cannot
    // reach it.
    pollfd ready{socket_, POLLIN, 0};
    int polled = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadyTimeoutMs);
    do {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        polled = poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    } while (polled < 0 && errno == EINTR);
    if (polled <= 0) {
        failed_ = false;  // slow, not failed: it watches once it gets there
        return;
    }
    char answer = 0;
    ssize_t got = 0;
    do {
        got = read(socket_, &answer, 1);
    } while (got < 0 && errno == EINTR);
    if (got == 1) {
        failed_ = false;
        return;
    }
    Stop();
}

void OfficeGuardian::Send(const std::string& line) {
    if (socket_ < 0) return;
    // A guardian that has gone makes the send fail with an error, never with SIGPIPE.
    const ssize_t sent = send(socket_, line.data(), line.size(), MSG_NOSIGNAL);
    (void)sent;
}

void OfficeGuardian::Stop() noexcept {
    if (process_ < 0) return;
    Send("Q\n");
    close(socket_);
    socket_ = -1;
    const pid_t process = std::exchange(process_, -1);
    const auto deadline = std::chrono::steady_clock::now() + kQuitGrace;
    for (;;) {
        const pid_t reaped = waitpid(process, nullptr, WNOHANG);
        if (reaped == process || (reaped < 0 && errno != EINTR)) return;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(process, SIGKILL);
    while (waitpid(process, nullptr, 0) < 0 && errno == EINTR) {
    }
}

std::string GuardianProgram() {
    if (const char* configured = std::getenv("VARSEL_OFFICE_GUARDIAN")) return configured;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path beside = self.parent_path() / "varsel-office-guardian";
        if (Executable(beside)) return beside.string();
    }
    // A program run from its build folder uses the guardian built with it, an installed
    // program the installed one.
    const bool built = !error && Within(self, VARSEL_BUILD_DIR);
    for (const char* candidate : built
                                     ? std::vector{VARSEL_GUARDIAN_BUILT, VARSEL_GUARDIAN_INSTALLED}
                                     : std::vector{VARSEL_GUARDIAN_INSTALLED}) {
        if (Executable(candidate)) return candidate;
    }
    return std::string();
}

}  // namespace varsel::calc
