// The words of the intervals, shared by the command line, the report files and the window:
// an end or an interval as text, and what each kind of interval is and rests on, so that a
// report names its methods, thresholds, replicates and seed and can be reproduced.
#pragma once

#include <string>
#include <vector>

#include "uncertainty/Uncertainty.h"

namespace varsel::uncertainty {

/// "-72.136", "unbounded" or "not found", three decimals.
std::string EndText(const End& end);

/// "[-72.136, -70.008]" with the words of EndText for an end that was not found.
std::string IntervalText(const ProfileInterval& interval);

/// The bootstrap interval of a species as "[lo, hi]", or "–" when there is none.
std::string BootstrapText(const SpeciesIntervals& s);

/// "±" and the half-width with three decimals, or "not estimated".
std::string LinearText(double halfWidth);

/// The weights' convention of the intervals, one phrase.
std::string Convention(const Result& r);

/// One line per kind of interval: its method and threshold, the replicates, failed ones and
/// the seed of the bootstrap; first how the result came to an end when it did not finish.
std::vector<std::string> MethodLines(const Result& r);

}  // namespace varsel::uncertainty
