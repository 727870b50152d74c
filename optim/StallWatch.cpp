#include "optim/StallWatch.h"

#include <algorithm>
#include <numeric>

namespace varsel {

namespace {

constexpr int kSlots = StallWatch::kIterations + 1;  // now and kIterations back

}  // namespace

StallWatch::StallWatch(int freeCount, double initialSum)
    : free_(freeCount),
      best_(kSlots, initialSum),
      sums_(kIterations, initialSum),
      values_(static_cast<std::size_t>(kIterations) * static_cast<std::size_t>(freeCount), 0.0),
      bestValues_(static_cast<std::size_t>(freeCount) + 1, 0.0f) {}

void StallWatch::Record(double sum, const std::vector<float>& values) {
    const double previousBest = best_[static_cast<std::size_t>(count_ % kSlots)];
    ++count_;
    best_[static_cast<std::size_t>(count_ % kSlots)] = std::min(previousBest, sum);
    const auto row = static_cast<std::size_t>(count_ % kIterations);
    sums_[row] = sum;
    for (int f = 0; f < free_; ++f)
        values_[row * free_ + f] = values[static_cast<std::size_t>(f) + 1];
    if (count_ == 1 || sum < bestSum_) {
        bestSum_ = sum;
        bestValues_.assign(values.begin(), values.begin() + free_ + 1);
    }
}

bool StallWatch::Stalled() const {
    if (count_ < kIterations) return false;
    const double now = best_[static_cast<std::size_t>(count_ % kSlots)];
    const double before = best_[static_cast<std::size_t>((count_ - kIterations) % kSlots)];
    return before - now <= kRelativeImprovement * before;
}

double StallWatch::Spread(int f) const {
    double low = values_[f];
    double high = low;
    for (int r = 1; r < kIterations; ++r) {
        const double v = values_[static_cast<std::size_t>(r) * free_ + f];
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return high - low;
}

StallWatch::Verdict StallWatch::Judge(const std::vector<double>& halfWidths,
                                      double intervalRise) const {
    std::vector<double> spread(static_cast<std::size_t>(free_));
    for (int f = 0; f < free_; ++f)
        spread[f] = Spread(f);
    std::vector<int> order(static_cast<std::size_t>(free_));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return spread[a] > spread[b]; });

    const double allowed = std::max(kConvergedSum * bestSum_, kConvergedRise * intervalRise);
    bool flat = count_ >= kIterations;
    for (double sum : sums_)
        flat = flat && sum - bestSum_ <= allowed;
    Verdict verdict;
    for (int f : order) {
        if (!(spread[f] > kStillSpread)) continue;
        const double h = halfWidths[static_cast<std::size_t>(f) + 1];
        const bool jitter = h <= kDeterminedHalfWidth && spread[f] <= kJitterShare * h;
        if (!flat || !jitter) verdict.Drifting.push_back(f + 1);
    }
    verdict.Converged = flat && verdict.Drifting.empty();
    return verdict;
}

}  // namespace varsel
