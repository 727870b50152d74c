// The summary of a fit (varsel/FitSummary.h) as the driver fills it from the problem, with the
// correlation matrix of the interval estimate and the warnings in words.
#pragma once

#include <string>
#include <vector>

#include "model/Arrays.h"
#include "varsel/FitSummary.h"

namespace varsel {

struct ProblemModel;

/// A correlation matrix of the free species, in their order; empty when none is known.
using Correlation = std::vector<std::vector<double>>;

/// Correlation matrix of the n×n covariance held in the upper triangle of c(1..n, 1..n). A
/// row with a non-positive diagonal element gives no correlation: the result is then empty.
Correlation CorrelationOf(int n, const Array2<double>& c);

/// The warnings in words for the species, half-widths and correlation of `s`.
std::vector<std::string> FlagsOf(const FitSummary& s);

/// Fills `s` (except Correlation, which the interval estimate gives) from the problem as the
/// run left it.
void FillFitSummary(FitSummary& s, const ProblemModel& m, int iterations, double wallSeconds);

/// "Nothing to fit: ..." when the data file fixes every species, else empty.
std::string NothingToFitText(const ProblemModel& m);

}  // namespace varsel
