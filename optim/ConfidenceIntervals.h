// 95 % confidence half-widths of the fitted species values from the curvature of the
// weighted sum of squares S around the optimum.
//
// Near the optimum x*, S(x) ≈ S_R + (x − x*)ᵀ (H/2) (x − x*) with H the Hessian of S. When
// the weights are inverse variances of the measured Y, 2 H⁻¹ is the covariance of x*, and
// the half-width of parameter p is sqrt(2 (H⁻¹)_pp · Q) with Q = χ²₉₅(n) · n, n the number
// of free species: the 95 % chi-square quantile of n degrees of freedom, widened by n so
// that the interval stays conservative for correlated parameters. H is built from finite
// differences of whole Hessian-mode passes, with one absolute step h (kJ/mol) that doubles
// while S does not react by more than 1e-7.
//
// The estimate fails, with a warning and zero half-widths, when
// - the inversion meets a zero leading element (a species to which S does not react, or an
//   exactly singular H): "Could not invert Hessian  ";
// - a diagonal element of H⁻¹ is not positive (H is not positive definite, so the point is
//   not a minimum in every direction): "Could not estimate intervals  ".
// Neither fails the run; the results are saved with zero half-widths.
#pragma once

#include <vector>

#include "model/ProblemModel.h"
#include "optim/FitSummary.h"
#include "services/RunContext.h"

namespace varsel {

/// Builds the Hessian of S in NormalMatrix by Hessian-mode passes (drawing the progress bar
/// over the Status label of the context's window), then estimates the half-widths
/// (EstimateHalfWidths) and returns their correlation. Needs ResultSumOfSquares,
/// FreeCount > 0 and Misfit.LastMultiplier as the starting step. A failing pass puts the
/// moved species values back and leaves StatusCode 1.
Correlation EstimateConfidenceIntervals(ProblemModel& m, RunContext& context);

/// Inverts the Hessian held in NormalMatrix (order FreeCount) and sets SpeciesInterval of
/// every species: the half-width for a free one, 0 for a fixed one. Shows the warnings above
/// (and then sets every half-width to 0), writes the half-widths into a workbook's " ±"
/// column and pauses half a second so the full progress bar stays visible; the pause is
/// skipped after a failed inversion. Returns the correlation of the free species, empty when
/// the inversion failed.
Correlation EstimateHalfWidths(ProblemModel& m, RunContext& context);

/// The 95 % half-widths (kJ/mol, positions 1 .. FreeCount) that the Gauss–Newton matrix JᵀWJ
/// of the last iteration-mode pass gives, sqrt((JᵀWJ)⁻¹_pp · Q), without further passes (JᵀWJ
/// stands for H/2, and S rises by Q at a half-width). A species the matrix does not bound (a zero
/// pivot, a diagonal element of the inverse that is not positive) gets infinity. Shows nothing and
/// changes nothing.
std::vector<double> GaussNewtonHalfWidths(const ProblemModel& m);

}  // namespace varsel
