#include "engine/equilibrium/ActivityExtrapolation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace varsel::engine::equilibrium {

namespace {
// A change this large holds the rate to about 1e-6 against the rounding of the coefficients
// (about 1e-14).
constexpr double kMeasurable = 1e-8;
constexpr double kLargestRate = 0.1;
// The largest secant step, as a part of the change, with which a loop is still extrapolated.
constexpr double kSecantShare = 0.01;
}  // namespace

void ActivityExtrapolation::Observe(std::span<const double> used, std::span<const double> found) {
    double along = 0, previous = 0, largest = 0;
    for (std::size_t j = 0; j < change_.size(); ++j) {
        const double d = found[j] - used[j];
        along += d * change_[j];
        previous += change_[j] * change_[j];
        change_[j] = d;
        largest = std::max(largest, std::fabs(d));
    }
    if (largest_ >= kMeasurable) {
        // After a step extrapolated with rate a the change shrinks by (r − a)/(1 − a).
        const double shrink = along / previous;
        const double rate = rate_ + shrink * (1.0 - rate_);
        rate_ = rate >= 0 && rate <= kLargestRate ? rate : 0.0;
    }
    largest_ = largest;
}

void ActivityExtrapolation::Apply(std::span<const double> found, std::span<double> next) {
    double secant = 0;
    for (std::size_t j = 0; j < change_.size(); ++j)
        secant = std::max(secant, std::fabs(next[j] - found[j]));
    if (secant > kSecantShare * largest_) {
        largest_ = 0;  // the next change does not measure the rate
        return;
    }
    if (rate_ == 0) return;
    const double factor = rate_ / (1.0 - rate_);
    for (std::size_t j = 0; j < change_.size(); ++j)
        next[j] += factor * change_[j];
}

}  // namespace varsel::engine::equilibrium
