// The quantile behind the data file's 95 % half-widths, for code that computes intervals of
// its own on the same footing (profiles, resampling).
#pragma once

namespace varsel {

/// The 95 % quantile of the chi-square distribution for 1 .. 8 degrees of freedom, the value
/// the half-widths are computed with (3.841 for one). Throws std::out_of_range otherwise.
double ChiSquareQuantile95(int degreesOfFreedom);

}  // namespace varsel
