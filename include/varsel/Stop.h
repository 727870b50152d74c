// A request to stop a fit in progress, made by the user (the window's Stop button, SIGINT or
// SIGTERM to the command line, Ctrl+C in a notebook) and honoured between engine calls: the
// misfit checks it before every sample and the driver before every iteration, and the fit
// then ends in order as after a fitting failure.
//
// The party that may stop a fit owns a StopSource; the fit holds a StopToken of it. One
// source may stop several fits at once (all replicates of a resampling, say). A token must
// not outlive its source.
#pragma once

#include <atomic>

namespace varsel {

/// The reason a stopped fit reports (the run prefixes "Optimization: ").
inline constexpr const char* kStoppedByUser = "stopped by the user";

/// What a fit looks at to learn whether it should stop. A default token never asks to stop.
class StopToken {
  public:
    StopToken() = default;

    /// True once the source has been asked to stop (and not cleared since).
    bool Requested() const noexcept {
        return flag_ != nullptr && flag_->load(std::memory_order_relaxed);
    }

  private:
    friend class StopSource;
    explicit StopToken(const std::atomic<bool>* flag) : flag_(flag) {}

    const std::atomic<bool>* flag_ = nullptr;
};

/// The owner of a stop request.
class StopSource {
  public:
    StopSource() = default;
    StopSource(const StopSource&) = delete;
    StopSource& operator=(const StopSource&) = delete;

    /// Asks every fit that holds a token of this source to stop. Safe from any thread and
    /// from a signal handler (one lock-free atomic store).
    void Request() noexcept { flag_.store(true, std::memory_order_relaxed); }
    /// Forgets the request, before the next fit starts.
    void Clear() noexcept { flag_.store(false, std::memory_order_relaxed); }
    bool Requested() const noexcept { return flag_.load(std::memory_order_relaxed); }
    StopToken Token() const noexcept { return StopToken(&flag_); }

  private:
    std::atomic<bool> flag_{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

}  // namespace varsel
