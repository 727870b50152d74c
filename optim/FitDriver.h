// The optimiser: fits the free species values (standard potentials, kJ/mol) to the samples
// by a damped Gauss–Newton iteration on the normal equations JᵀWJ d = −JᵀW r, with the
// damping λ = D · 1e-7 · sqrt(N) (D the largest diagonal element, N the iteration count),
// the logarithmic step shaping and acceleration of StepControl, and the stop when no free
// species moves by more than a millionth of its value or a ten-thousandth of its step scale.
// It ends with the confidence intervals of the values found. An iteration whose smallest
// error stops improving while species still move (StallWatch) has either converged, circling
// at its minimum, and ends from the best point it reached like any other, or it ends as a
// failure that names the species the data do not determine. A stop request ends it before
// the next iteration or sample.
//
// Progress goes to the window's Status caption and, for a workbook, to the data sheet and
// the spreadsheet application's status bar, which the exit always gives back.
#pragma once

#include "model/ProblemModel.h"
#include "services/RunContext.h"
#include "varsel/FitSummary.h"

namespace varsel {

/// Fits the free species of `m`, reporting to the context's window (captions, the progress
/// bar, warnings) and cells, and stopping when its stop token asks. Needs StatusCode 0 and
/// the engine set up by the reader. Returns what the fit learned (Filled once its first pass
/// was made). On return StatusCode is 0 on success, else 1 with StatusText: an engine message,
/// "invalid " + axis + " value", "could not determine the direction", "the data do not
/// determine " + species + ": ...", kStoppedByUser, or the reason a run had to end (an
/// arithmetic fault, all weights zero, no convergence within 32767 iterations). Never throws.
/// Without `intervals` the fit ends after its final pass: no Hessian, no half-widths (a refit
/// that needs only the values found).
FitSummary FitParameters(ProblemModel& m, RunContext& context, bool intervals = true);

}  // namespace varsel
