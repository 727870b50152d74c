// Long work of the module (a fit, an evaluation) with the GIL released and Ctrl+C honoured.
//
// Python runs its signal handlers only on the main thread and only while that thread holds
// the GIL, so a fit that ran on the calling thread with the GIL released would never see
// KeyboardInterrupt. The work therefore runs on a worker thread, and the calling thread
// watches: every 50 ms it takes the GIL and calls PyErr_CheckSignals. When a handler raises
// (SIGINT's default handler raises KeyboardInterrupt, as in a notebook's interrupt), the
// watcher requests the work's StopSource, waits for the work to end at its next stop check
// (between two engine calls, well within half a second), and raises the Python error. Other
// Python threads run while the work does.
#pragma once

#include <pybind11/pybind11.h>

#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <thread>
#include <utility>

#include "varsel/Stop.h"

namespace varsel::python {

namespace detail {
// Waits for `done` with the GIL released; true when it became ready within `period`.
template <typename Result>
bool WaitReleased(std::future<Result>& done, std::chrono::milliseconds period) {
    pybind11::gil_scoped_release release;
    return done.wait_for(period) == std::future_status::ready;
}
}  // namespace detail

/// Runs `work(stop)` on a worker thread while the caller (holding the GIL) watches for
/// signals; returns its result or rethrows its exception. Throws pybind11::error_already_set
/// with the handler's exception (KeyboardInterrupt) once the stopped work has ended.
template <typename Result>
Result Interruptible(std::function<Result(StopToken)> work) {
    StopSource source;
    std::packaged_task<Result()> task([&work, &source] { return work(source.Token()); });
    std::future<Result> done = task.get_future();
    std::thread worker(std::move(task));
    struct Joiner {
        std::thread& Thread;
        ~Joiner() {
            pybind11::gil_scoped_release release;
            Thread.join();
        }
    } joiner{worker};
    constexpr std::chrono::milliseconds kPeriod(50);
    while (!detail::WaitReleased(done, kPeriod)) {
        if (PyErr_CheckSignals() != 0) {
            source.Request();
            {
                pybind11::gil_scoped_release release;
                done.wait();
            }
            throw pybind11::error_already_set();
        }
    }
    return done.get();
}

}  // namespace varsel::python
