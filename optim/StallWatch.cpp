#include "optim/StallWatch.h"

#include <algorithm>
#include <numeric>

namespace varsel {

namespace {

constexpr int kSlots = StallWatch::kIterations + 1;  // now and kIterations back
constexpr double kDriftShare = 0.9;

}  // namespace

StallWatch::StallWatch(int freeCount, double initialSum)
    : free_(freeCount),
      best_(kSlots, initialSum),
      movement_(static_cast<std::size_t>(kIterations) * static_cast<std::size_t>(freeCount), 0.0) {}

void StallWatch::Record(double sum, const std::vector<double>& moves) {
    const double previousBest = best_[static_cast<std::size_t>(count_ % kSlots)];
    ++count_;
    best_[static_cast<std::size_t>(count_ % kSlots)] = std::min(previousBest, sum);
    const std::size_t row = static_cast<std::size_t>(count_ % kIterations) * free_;
    for (int f = 0; f < free_; ++f)
        movement_[row + f] = moves[static_cast<std::size_t>(f) + 1];
}

bool StallWatch::Stalled() const {
    if (count_ < kIterations) return false;
    const double now = best_[static_cast<std::size_t>(count_ % kSlots)];
    const double before = best_[static_cast<std::size_t>((count_ - kIterations) % kSlots)];
    return before - now <= kRelativeImprovement * before;
}

std::vector<int> StallWatch::Drifting() const {
    std::vector<double> total(static_cast<std::size_t>(free_), 0.0);
    for (int r = 0; r < kIterations; ++r) {
        for (int f = 0; f < free_; ++f)
            total[f] += movement_[static_cast<std::size_t>(r) * free_ + f];
    }
    std::vector<int> order(static_cast<std::size_t>(free_));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return total[a] > total[b]; });
    const double all = std::accumulate(total.begin(), total.end(), 0.0);
    std::vector<int> drifting;
    double share = 0;
    for (int f : order) {
        drifting.push_back(f + 1);
        share += total[f];
        if (share >= kDriftShare * all) break;
    }
    return drifting;
}

}  // namespace varsel
