// The small dense linear algebra of the optimiser: Gaussian elimination with row and column
// exchanges for the normal equations, and the cyclic Gauss-Jordan inversion of a symmetric
// matrix for the Hessian.
//
// The fit's results depend on the exact pivot choices and on the relative flush threshold
// 1e-10 below which a difference is taken as exactly zero, so both are part of the contract.
// All arithmetic is double; an operation that gives a non-finite value is a run-time failure.
#pragma once

#include <cstdint>

#include "model/Arrays.h"

namespace varsel {

/// Outcome of SolveLinearSystem.
enum class LinearSolve { Solved, Singular };

/// Solves A x = b in place for a matrix `a` with indices 0 .. n in both dimensions:
/// coefficients in (1..n, 1..n), the right-hand side in (1..n, 0). On return column 0 holds
/// the solution and row 0 the column record (the variable that ended in each position).
/// A singular system (a remaining row without coefficients) returns Singular, the matrix then
/// partly reduced.
///
/// Row choice: among the remaining rows, the one whose right-hand side is smallest relative
/// to the length of its remaining coefficients (a ratio of 0 ends the search). Column choice:
/// the column whose pivot is largest relative to the length of the entries below it.
[[nodiscard]] LinearSolve SolveLinearSystem(std::int16_t n, Array2<double>& a);

/// Outcome of InvertSymmetric.
enum class Inversion { Inverted, ZeroPivot };

/// Inverts the symmetric matrix held in the upper triangle (1 <= i <= j <= n) of `a` in
/// place, by n cyclic sweeps without pivoting. Cells below the diagonal, row 0 and column 0
/// are not touched. A leading element that becomes exactly zero gives ZeroPivot, the upper
/// triangle then partly rewritten; a matrix that is not positive definite is otherwise
/// inverted, and the caller examines the diagonal of the result.
[[nodiscard]] Inversion InvertSymmetric(std::int16_t n, Array2<double>& a);

}  // namespace varsel
