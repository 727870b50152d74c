// Solution of h x = b for a symmetric positive semi-definite h by Cholesky factorisation of
// the Jacobi-scaled matrix D h D (D = diag(h)^-½), so that curvatures of very different sizes
// (a direction carried by 1e-30 mol next to one carried by 1 mol) are all resolved. Where a
// pivot vanishes, the scaled diagonal is shifted (1e-12, then a hundred times more each time)
// until the factorisation succeeds.
//
// The factor and the scale are kept in storage sized at construction.
#pragma once

#include <span>
#include <vector>

namespace varsel::engine::equilibrium {

class ScaledCholesky {
  public:
    /// Room for systems of up to `capacity` unknowns.
    explicit ScaledCholesky(int capacity);

    /// Solves h x = rhs with h n x n, row-major; only its lower triangle is read for the
    /// factor, its diagonal for the scale. `rhs` and `x` may not overlap.
    void Solve(std::span<const double> h, std::span<const double> rhs, std::span<double> x, int n);

  private:
    std::vector<double> factor_;  // L of the scaled matrix, n x n row-major
    std::vector<double> scale_;   // D
};

}  // namespace varsel::engine::equilibrium
