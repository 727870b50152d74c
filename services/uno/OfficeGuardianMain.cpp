// varsel-office-guardian PIPE RECORD PID: watches over a run of Varsel (process PID) that locks
// documents of the office listening on PIPE. Started by that run with one end of a socket as
// standard input, it connects to the office, answers with one byte, and then reads the run's
// lines: "L<document>" (about to lock that document), "U" (nothing locked any more), "Q"
// (the run ended normally: quit). When the socket closes while a document is locked, the run
// has died holding the lock: the guardian enables the document's windows, ends its progress
// bar and drops the run's line from the lock record RECORD, then ends.
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <com/sun/star/frame/Desktop.hpp>
#include <cstdlib>
#include <string>

#include "services/uno/InputLockRecord.h"
#include "services/uno/OfficeWindows.h"

using namespace varsel::calc;
using css::uno::Reference;

namespace {

// Reads the run's lines until the socket closes or the run says it ended; returns the document
// still locked when the socket closed (empty when none), and ends the program on "Q".
std::string LockedAtTheEnd() {
    std::string locked, pending;
    char buffer[512];
    for (;;) {
        const ssize_t got = read(0, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return locked;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line == "Q") std::_Exit(0);
            if (line == "U") locked.clear();
            if (!line.empty() && line[0] == 'L') locked = line.substr(1);
        }
    }
}

void GiveBack(const Reference<css::uno::XComponentContext>& office, const std::string& document) {
    GiveBackWindows(css::frame::Desktop::create(office), {document});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string pipe = argv[1];
    const InputLockRecord record(argv[2]);
    const pid_t run = static_cast<pid_t>(std::atol(argv[3]));
    Reference<css::uno::XComponentContext> office;
    try {
        office = ConnectToPipe(pipe);
    } catch (...) {
    }
    if (!office.is()) return 1;
    const char ready = '+';
    if (send(0, &ready, 1, MSG_NOSIGNAL) != 1) return 1;

    const std::string document = LockedAtTheEnd();
    if (document.empty()) std::_Exit(0);
    // An office that no longer answers must not keep the guardian for good.
    alarm(60);
    // The office may have dropped this connection in the meantime (it does so now and then
    // while it takes down other connections): one more try on a new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (!office.is()) office = ConnectToPipe(pipe);
            if (!office.is()) break;
            GiveBack(office, document);
            break;
        } catch (...) {
            office.clear();
        }
    }
    try {
        record.Remove(run, document);
    } catch (...) {
    }
    // Ends without taking down the UNO runtime: the office drops the connection as it does
    // for any program that ends, and nothing of this process needs cleaning.
    std::_Exit(0);
}
