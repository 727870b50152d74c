// The guardian of a run that locks the office: a small process of its own (the program
// varsel-office-guardian) with its own connection to the office. This program tells it over a
// socket which document it is about to lock and when it has unlocked it again. When the socket
// closes while a lock is held, this program has died without unlocking (a crash, SIGKILL), and
// the guardian enables the document's windows, ends its progress bar and drops the line of the
// lock record itself. A run that ends normally tells the guardian to quit and reaps it.
#pragma once

#include <sys/types.h>
#include <string>

namespace varsel::calc {

class OfficeGuardian {
  public:
    /// `program` is the guardian's executable (empty: runs go unguarded), `pipeName` the pipe
    /// the office listens on, `lockRecordPath` the lock record it cleans up.
    OfficeGuardian(std::string program, std::string pipeName, std::string lockRecordPath);
    ~OfficeGuardian();
    OfficeGuardian(const OfficeGuardian&) = delete;
    OfficeGuardian& operator=(const OfficeGuardian&) = delete;

    /// Tells the guardian that the windows of `document` (its key) are about to be locked,
    /// after starting it and waiting until it has reached the office, when it is not there yet.
    void Locking(const std::string& document);
    /// Tells the guardian that nothing is locked any more.
    void Released();

  private:
    void Start();
    void Send(const std::string& line);
    void Stop() noexcept;

    std::string program_;
    std::string pipeName_;
    std::string lockRecordPath_;
    pid_t process_ = -1;
    int socket_ = -1;
    bool failed_ = false;
};

/// The guardian program that goes with this program: $VARSEL_OFFICE_GUARDIAN when set (empty:
/// none), else varsel-office-guardian beside the executable, else the one built with this
/// program (for a program run from its build folder) or the installed one; empty when none of
/// them is there.
std::string GuardianProgram();

}  // namespace varsel::calc
