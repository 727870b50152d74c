// How a Gauss–Newton solution becomes the step that is applied: long steps are shortened
// logarithmically, and a step that repeats the previous one in direction and length is
// applied with a growing multiplier.
//
// The logarithmic shaping keeps the linearisation honest far from the optimum, where a full
// Gauss–Newton step on potentials (kJ/mol) can overshoot by orders of magnitude; the
// acceleration recovers speed when the shaped steps march steadily in one direction.
#pragma once

#include <cstdint>

#include "model/Arrays.h"

namespace varsel {

/// Shapes the solution x(1..n), held in column 0 of `solution`, into the step d(1..n):
/// |x| = 0 gives d = x; 0 < |x| < 1 keeps the direction with length ln(1 + |x|); |x| >= 1
/// shortens every component separately to sgn(x_i) ln(1 + |x_i|). Units are those of the
/// species values (kJ/mol).
void ShapeStep(std::int16_t n, const Array2<double>& solution, Array1<double>& d);

/// The step multiplier for a new step of length `length` (> 0) whose cosine with the
/// previous unit direction is `cosine`: previous + 1 when the cosine is above 0.999 and the
/// length differs from `previousLength` by less than 0.1 %, else 1. Throws RuntimeFailure
/// (overflow) when previous + 1 does not fit 16 bits.
std::int16_t NextMultiplier(std::int16_t previous, double cosine, double previousLength,
                            double length);

}  // namespace varsel
