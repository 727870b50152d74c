#include "TaskPool.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace varsel::uncertainty {

void RunTasks(int count, int threads, const std::function<void(int)>& task, StopToken stop) {
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int t = next++; t < count && !stop.Requested(); t = next++)
            task(t);
    };
    std::vector<std::thread> helpers;
    const int extra = std::max(0, std::min(threads, count) - 1);
    helpers.reserve(static_cast<std::size_t>(extra));
    for (int i = 0; i < extra; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

}  // namespace varsel::uncertainty
