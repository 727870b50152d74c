#include "engine/equilibrium/IonicStrengthSecant.h"

#include <algorithm>
#include <cmath>

namespace varsel::engine::equilibrium {

void IonicStrengthSecant::Advance(double found) {
    const double gap = found - assumed_;
    if (gap > 0)
        low_ = std::max(low_, assumed_);
    else
        high_ = std::min(high_, assumed_);
    double next = found;
    if (!first_ && assumed_ != previousAssumed_) {
        const double slope = (gap - previousGap_) / (assumed_ - previousAssumed_);
        if (slope != 0 && std::isfinite(slope)) next = assumed_ - gap / slope;
    }
    if (std::isfinite(high_)) {
        if (!(next > low_ && next < high_))
            next = (low_ > 0 && high_ > 4 * low_) ? std::sqrt(low_ * high_) : 0.5 * (low_ + high_);
    } else if (!(next > low_)) {
        next = found;
    }
    previousAssumed_ = assumed_;
    previousGap_ = gap;
    assumed_ = next;
    first_ = false;
}

}  // namespace varsel::engine::equilibrium
