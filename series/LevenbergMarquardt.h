// Damped Gauss–Newton (Levenberg–Marquardt) minimisation of a weighted sum of squares
// S(θ) = rᵀWr, for the series fits. Each iteration solves (N + λ diag N) δ = −g with the
// normal matrix N = JᵀWJ and g = JᵀWr at θ; a step that lowers S is taken and λ shrinks
// tenfold, one that does not is refused and λ grows tenfold. The fit has converged when a
// step changes the parameters by less than a thousandth of their standard errors
// (δᵀNδ ≤ 10⁻⁶ s², s² = S/ν with ν the degrees of freedom), when S stops falling by more
// than a relative 10⁻¹², or when no step lowers S even at λ = 10⁸ (S is at its minimum to
// within the rounding of the model).
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "series/Matrix.h"
#include "varsel/Stop.h"

namespace varsel::series {

/// S, g and N at one θ.
struct Linearization {
    double SumOfSquares = 0;
    std::vector<double> Gradient;
    Matrix Normal;
};

/// The linearisation at θ, or nullopt when the model cannot be computed there (a refused step).
using Linearize = std::function<std::optional<Linearization>(const std::vector<double>& theta)>;

/// Thrown when the stop token asks the fit to end.
class Stopped : public std::runtime_error {
  public:
    Stopped() : std::runtime_error(kStoppedByUser) {}
};

struct Minimum {
    std::vector<double> Theta;
    Linearization At;
    int Iterations = 0;
    bool Converged = false;
};

/// Minimises from θ₀. `iteration` hears each accepted step (its number and S). Throws
/// Stopped; returns Converged false when the model cannot be computed at θ₀, a parameter has
/// no influence (N_ii = 0) or 200 iterations do not converge.
Minimum Minimize(std::vector<double> theta, int degreesOfFreedom, const Linearize& linearize,
                 const StopToken& stop, const std::function<void(int, double)>& iteration);

}  // namespace varsel::series
