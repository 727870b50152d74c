#include "services/RunContext.h"

#include "varsel/Window.h"

namespace varsel {

namespace {

// Well under the tenth of a second within which a window feels alive.
constexpr std::chrono::milliseconds kEventInterval{40};

}  // namespace

void RunContext::KeepWindowAlive() {
    using Clock = std::chrono::steady_clock;
    if (Window == nullptr || Clock::now() - lastEventRound_ < kEventInterval) return;
    Window->ProcessEvents();
    // Counted from the end of the round, so that slow painting cannot fill the run with
    // event rounds.
    lastEventRound_ = Clock::now();
}

}  // namespace varsel
