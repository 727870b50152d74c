#include "services/Platform.h"

#include <chrono>

#include "services/Window.h"

namespace varsel {

namespace {

// Well under the tenth of a second within which a window feels alive.
constexpr std::chrono::milliseconds kEventInterval{40};

}  // namespace

Platform& ThePlatform() {
    static Platform platform;
    return platform;
}

void KeepWindowAlive() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point lastRound{};
    IWindow* window = ThePlatform().Window;
    if (window == nullptr || Clock::now() - lastRound < kEventInterval) return;
    window->ProcessEvents();
    // Counted from the end of the round, so that slow painting cannot fill the run with
    // event rounds.
    lastRound = Clock::now();
}

}  // namespace varsel
