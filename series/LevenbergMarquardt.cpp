#include "series/LevenbergMarquardt.h"

#include <algorithm>

namespace varsel::series {

namespace {

constexpr int kMaxIterations = 200;
constexpr double kFirstLambda = 1e-3;
constexpr double kSmallestLambda = 1e-10;
constexpr double kLargestLambda = 1e8;

}  // namespace

Minimum Minimize(std::vector<double> theta, int degreesOfFreedom, const Linearize& linearize,
                 const StopToken& stop, const std::function<void(int, double)>& iteration) {
    Minimum m;
    std::optional<Linearization> at = linearize(theta);
    if (!at) return m;
    double lambda = kFirstLambda;
    int accepted = 0;
    for (int k = 0; k < kMaxIterations; ++k) {
        if (stop.Requested()) throw Stopped();
        std::vector<double> minusG = at->Gradient;
        for (double& v : minusG)
            v = -v;
        // The undamped step says how far the minimum still is: one this small changes
        // nothing that the data can tell, and taking it would only chase the rounding of the
        // model.
        const double scale =
            degreesOfFreedom > 0 ? at->SumOfSquares / degreesOfFreedom : at->SumOfSquares;
        const std::optional<std::vector<double>> full = SolveDamped(at->Normal, minusG, 0.0);
        if (full && QuadraticForm(at->Normal, *full, *full) <= 1e-6 * scale) {
            m.Converged = true;
            break;
        }
        const std::optional<std::vector<double>> step = SolveDamped(at->Normal, minusG, lambda);
        if (!step) break;
        std::vector<double> trial = theta;
        for (std::size_t i = 0; i < trial.size(); ++i)
            trial[i] += (*step)[i];
        std::optional<Linearization> next = linearize(trial);
        if (!next || !(next->SumOfSquares < at->SumOfSquares)) {
            lambda *= 10;
            if (lambda > kLargestLambda) {
                m.Converged = true;
                break;
            }
            continue;
        }
        const double fall = at->SumOfSquares - next->SumOfSquares;
        theta = std::move(trial);
        at = std::move(next);
        lambda = std::max(lambda / 10, kSmallestLambda);
        if (iteration) iteration(++accepted, at->SumOfSquares);
        if (fall <= 1e-12 * (at->SumOfSquares + fall)) {
            m.Converged = true;
            break;
        }
    }
    m.Theta = std::move(theta);
    m.At = std::move(*at);
    m.Iterations = accepted;
    return m;
}

}  // namespace varsel::series
