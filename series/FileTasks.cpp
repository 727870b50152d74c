#include "series/FileTasks.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <thread>

namespace varsel::series {

FileTasks::FileTasks(int threads, std::function<void(const std::string&)> progress,
                     std::function<void()> idle)
    : threads_(threads > 0 ? threads
                           : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))),
      progress_(std::move(progress)),
      idle_(std::move(idle)) {}

void FileTasks::Post(std::string line) {
    const std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
}

void FileTasks::Deliver() {
    std::vector<std::string> lines;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        lines.swap(lines_);
    }
    if (!progress_) return;
    for (const std::string& line : lines)
        progress_(line);
}

void FileTasks::Run(std::size_t count, const std::function<void(std::size_t)>& task) {
    std::vector<std::exception_ptr> failures(count);
    const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(threads_), count);
    if (workers <= 1 && !idle_) {
        for (std::size_t i = 0; i < count; ++i) {
            try {
                task(i);
            } catch (...) {
                failures[i] = std::current_exception();
            }
            Deliver();
        }
    } else {
        std::atomic<std::size_t> next{0};
        std::mutex doneMutex;
        std::condition_variable doneSignal;
        std::size_t running = workers;
        const auto work = [&] {
            for (std::size_t i = next++; i < count; i = next++) {
                try {
                    task(i);
                } catch (...) {
                    failures[i] = std::current_exception();
                }
            }
            const std::lock_guard<std::mutex> lock(doneMutex);
            --running;
            doneSignal.notify_one();
        };
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < workers; ++t)
            threads.emplace_back(work);
        // The calling thread keeps the caller's window alive while the files are worked on.
        for (;;) {
            std::unique_lock<std::mutex> lock(doneMutex);
            const bool done = doneSignal.wait_for(lock, std::chrono::milliseconds(40),
                                                  [&] { return running == 0; });
            lock.unlock();
            Deliver();
            if (done) break;
            if (idle_) idle_();
        }
        for (std::thread& thread : threads)
            thread.join();
    }
    Deliver();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace varsel::series
