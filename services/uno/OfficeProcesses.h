// The office as a process: finding the running offices of this user by their profile,
// launching the office launcher detached from this program, and ending what was launched.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace varsel::calc {

/// Process ids of this user's running offices (soffice.bin) whose user profile is
/// `userInstallation` (a file URL; empty means the user's own profile, i.e. no
/// -env:UserInstallation argument).
std::vector<pid_t> RunningOffices(const std::string& userInstallation);

/// Starts `program` with `arguments` in a session of its own, detached from this program (no
/// child is left to reap), with standard input and output on /dev/null and no write permission
/// for group or others in its umask. Returns the id of the started process, which also leads
/// its process group, or -1 when it could not be started.
pid_t LaunchDetached(const std::string& program, const std::vector<std::string>& arguments);

/// Asks every process of the group led by `leader` to end (SIGTERM), and kills those still
/// there after `graceMs` milliseconds.
void EndProcessGroup(pid_t leader, int graceMs);

/// True while a process with this id exists.
bool ProcessAlive(pid_t pid);

/// True when a graphical display is there to show a new office on.
bool HasDisplay();

}  // namespace varsel::calc
