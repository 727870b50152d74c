// Work on the data files of a series, spread over threads: each file has a problem with an
// engine session of its own, so different files may be fitted or evaluated at once, one
// thread per file at a time. The calling thread meanwhile hands the progress lines that the
// tasks post to the caller's Progress and calls its Idle, so that a window stays responsive
// and sees every line on its own thread.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace varsel::series {

class FileTasks {
  public:
    /// `threads` 0: as many as the machine has cores.
    FileTasks(int threads, std::function<void(const std::string&)> progress,
              std::function<void()> idle);

    /// Runs task(i) for i = 0 … count − 1 and returns when all have ended. When tasks threw,
    /// rethrows the exception of the lowest i.
    void Run(std::size_t count, const std::function<void(std::size_t)>& task);

    /// Queues a progress line; from any thread.
    void Post(std::string line);

    /// Hands the queued lines to Progress; on the calling thread.
    void Deliver();

  private:
    int threads_;
    std::function<void(const std::string&)> progress_;
    std::function<void()> idle_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace varsel::series
