// Runs numbered tasks on several threads: each thread takes the next task not yet taken, so
// the tasks start in order and a long one does not hold the others up. The caller's thread
// is one of the workers.
#pragma once

#include <functional>

#include "varsel/Stop.h"

namespace varsel::uncertainty {

/// Runs task(0) .. task(count − 1) on `threads` threads (at least one) and returns when all
/// have ended; once `stop` asks, no further task starts. A task must not throw.
void RunTasks(int count, int threads, const std::function<void(int)>& task, StopToken stop);

}  // namespace varsel::uncertainty
