#include "engine/equilibrium/IonicStrengthSecant.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varsel::engine::equilibrium {

namespace {
// How far (in bracket widths) the solution's ionic strength may lie outside the bracket before
// the bracket counts as stale. Near the root of a steep I_out(I) the solution's ionic strength
// can lie outside by its slope times the width; this is far beyond any such slope.
constexpr double kStaleWidths = 1000;
}  // namespace

void IonicStrengthSecant::Advance(double found) {
    // Where the coefficients follow more of the composition than the ionic strength (ion pairs
    // under HKF81 or Pitzer), an early loop's ionic strength also reflects a speciation that
    // has not settled, and the bound it set may lie on the wrong side of the root. The bracket
    // then narrows towards that bound while the solution's ionic strength stays far outside:
    // the iteration starts afresh from it.
    const double width = high_ - low_;
    if (std::isfinite(high_) &&
        (found < low_ - kStaleWidths * width || found > high_ + kStaleWidths * width)) {
        low_ = 0;
        high_ = std::numeric_limits<double>::infinity();
        first_ = true;
    }
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
