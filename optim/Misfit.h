// The misfit of the current species values: for every sample the engine computes the
// chemical equilibrium, the Y axis quantity is taken from it (log10 of a species' molal
// activity or of an element's total molality), and the weighted squared residuals are summed.
// In iteration passes the derivatives of every weighted sample's Y with respect to each free
// species value are computed by central differences.
//
// Precision: species values, potentials and stored outputs are 32-bit floats; activities,
// compositions, Y values, residuals, sums and derivatives are doubles. A perturbed species
// value is rounded to a float before the engine sees it.
#pragma once

#include <cstdint>

#include "model/ProblemModel.h"
#include "services/RunContext.h"

namespace varsel {

/// What a pass over the samples is for.
enum class PassMode {
    Iteration,  ///< all samples, outputs recorded, derivatives of the weighted samples
    Final,      ///< all samples, outputs recorded, no derivatives
    Hessian     ///< only the weighted samples, nothing recorded, no derivatives
};

/// Readies the work arrays that a pass hands to the engine and sets Misfit.RT (kJ/mol) and
/// the derivative multiplier back to 1.
void PrepareWork(ProblemModel& m);

/// Computes PmcActivity for every p.m.c. slot whose potential is fixed for all samples:
/// exp((μ − μ°) / RT), μ° the slot's reference potential (kJ/mol) from the engine. Needs
/// PrepareWork. Throws RuntimeFailure on an overflowing exponential or an engine failure.
void FixedPmcActivities(ProblemModel& m);

/// One pass over the samples of `m` at its current SpeciesValue. Leaves S in m.Misfit and, by
/// mode, the sample outputs, the data-sheet cells (through the context's sink) and the
/// Jacobian. A failure (an engine message other than "OK", an axis value that cannot be
/// taken, an arithmetic fault, a failing engine or spreadsheet call, a stop request seen
/// before a sample) sets StatusCode 1 and StatusText and ends the pass; nothing is thrown.
/// StatusCode must be 0 on entry.
void EvaluateModel(ProblemModel& m, RunContext& context, PassMode mode);

/// The value of an axis for the equilibrium the engine computed last. On failure sets
/// m.StatusCode 1 and m.StatusText "invalid " + axis.Text + " value" and returns 0.
double AxisValue(ProblemModel& m, const AxisDef& axis);

/// The mean error sqrt(S / WeightSum) of a sum of squares (S dimensionless like Y squared).
/// Throws RuntimeFailure when the weights sum to zero.
double MeanError(const ProblemModel& m, double sumOfSquares);

}  // namespace varsel
