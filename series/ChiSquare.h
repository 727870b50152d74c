// The probability that a χ² variable of ν degrees of freedom exceeds a value: the consistency
// test of a series fit (a small probability says the files disagree with each other or with
// the equations more than their own scatter explains).
#pragma once

namespace varsel::series {

/// Q(ν/2, χ²/2), the regularised upper incomplete gamma function; 1 for χ² ≤ 0, 0 for
/// ν ≤ 0 (no test).
double ChiSquareProbability(double chiSquare, int degreesOfFreedom);

}  // namespace varsel::series
