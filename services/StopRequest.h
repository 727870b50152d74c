// A request to stop the run in progress, made by the user (the window's Stop button, or
// SIGINT and SIGTERM to the command line) and honoured between engine calls: the misfit
// checks it before every sample and the fit before every iteration, and the run then ends
// in order as after a fitting failure. The request stays set until the run ends.
#pragma once

namespace varsel {

/// The reason a stopped fit reports (the shell prefixes "Optimization: ").
inline constexpr const char* kStoppedByUser = "stopped by the user";

/// Asks the run in progress to stop. Safe to call from any thread and from a signal
/// handler (one lock-free atomic store).
void RequestStop() noexcept;

/// True when a stop was requested and the run that it stops has not yet ended.
bool StopRequested() noexcept;

/// Forgets the request; the run sequence calls it when a run ends.
void ClearStopRequest() noexcept;

}  // namespace varsel
