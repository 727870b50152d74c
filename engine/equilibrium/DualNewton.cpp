#include "engine/equilibrium/DualNewton.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>

#include "engine/equilibrium/VectorMath.h"

namespace varsel::engine::equilibrium {

namespace {

constexpr double kStepCap = 20.0;            // largest rise of any ln n in one Newton step
constexpr double kLnClamp = 300.0;           // exp() and the Hessian sums stay finite below this
constexpr int kMaxNewton = 500;              // Newton iterations of one minimisation
constexpr int kMaxIterations = 5000;         // Newton iterations of one calculation
constexpr double kStepConverged = 1e-11;     // Newton step in ln n that counts as converged
constexpr double kBalanceConverged = 1e-13;  // relative residual that counts as converged
constexpr double kFeasible = 1e-9;           // relative composition residual off the span

// exp with a linear continuation above the clamp: convex, finite, and exact where it matters.
double ExpClamped(double x) {
    return std::exp(std::min(x, kLnClamp));
}
double ExpIntegral(double x) {
    if (x <= kLnClamp) return std::exp(x);
    return std::exp(kLnClamp) * (1.0 + x - kLnClamp);
}

}  // namespace

DualNewton::DualNewton(int elements, int solutes)
    : elements_(elements),
      solutes_(solutes),
      stride_(elements + 1),
      absent_(solutes, 0),
      a_(static_cast<std::size_t>(solutes) * stride_, 0.0),
      span_(stride_, stride_),
      at_(static_cast<std::size_t>(solutes) * stride_, 0.0),
      beta_(stride_, 0.0),
      betaT_(stride_, 0.0),
      u_(stride_, 0.0),
      w_(stride_, 0.0),
      dw_(stride_, 0.0),
      gradient_(stride_, 0.0),
      rhs_(stride_, 0.0),
      hessian_(static_cast<std::size_t>(stride_) * stride_, 0.0),
      residual_(stride_, 0.0),
      offending_(elements, 0.0),
      c_(solutes, 0.0),
      x_(solutes, 0.0),
      n_(solutes, 0.0),
      dx_(solutes, 0.0),
      cholesky_(stride_) {}

std::span<double> DualNewton::Row(std::vector<double>& m, int j) {
    return {m.data() + static_cast<std::size_t>(j) * stride_, static_cast<std::size_t>(stride_)};
}

std::span<const double> DualNewton::Row(const std::vector<double>& m, int j) const {
    return {m.data() + static_cast<std::size_t>(j) * stride_, static_cast<std::size_t>(stride_)};
}

void DualNewton::ClearAbsent() {
    std::fill(absent_.begin(), absent_.end(), 0);
}

bool DualNewton::Build(const EquilibriumProblem& problem, const ElementBasis& basis,
                       std::span<const double> bulk) {
    free_ = basis.FreeCount();
    d_ = free_ + 1;
    for (int j = 0; j < solutes_; ++j) {
        const std::span<double> a = Row(a_, j);
        for (int k = 0; k < free_; ++k)
            a[k] = Dot(basis.FreeDirection(k), problem.Solutes[j].Elements);
        a[free_] = problem.Solutes[j].Charge;
        if (absent_[j]) std::fill(a.begin(), a.begin() + d_, 0.0);
    }
    for (int k = 0; k < free_; ++k)
        beta_[k] = Dot(basis.FreeDirection(k), bulk);
    beta_[free_] = 0;

    // Orthonormal basis of the span of the a_j: the directions the solution feels.
    span_.Reset(d_);
    for (int j = 0; j < solutes_ && span_.Size() < d_; ++j)
        span_.Append(Row(a_, j).first(d_), kIndependent);
    const int q = span_.Size();
    for (int j = 0; j < solutes_; ++j) {
        const std::span<const double> a = Row(a_, j);
        const std::span<double> at = Row(at_, j);
        for (int i = 0; i < q; ++i)
            at[i] = Dot(span_.Vector(i), a);
    }
    for (int i = 0; i < q; ++i)
        betaT_[i] = Dot(span_.Vector(i), beta_);

    // What is left of the composition outside that span cannot be held by any species.
    std::copy(beta_.begin(), beta_.begin() + d_, residual_.begin());
    for (int i = 0; i < q; ++i) {
        const std::span<const double> p = span_.Vector(i);
        for (int k = 0; k < d_; ++k)
            residual_[k] -= betaT_[i] * p[k];
    }
    double scale = 0;
    for (int e = 0; e < elements_; ++e)
        scale = std::max(scale, std::fabs(bulk[e]));
    if (Norm(std::span<const double>(residual_).first(d_)) <= kFeasible * scale) return true;

    std::fill(offending_.begin(), offending_.end(), 0.0);
    for (int k = 0; k < free_; ++k) {
        const std::span<const double> direction = basis.FreeDirection(k);
        for (int e = 0; e < elements_; ++e)
            offending_[e] += residual_[k] * direction[e];
    }
    return false;
}

void DualNewton::SetConstants(const EquilibriumProblem& problem, std::span<const double> lambda0,
                              std::span<const double> standard, std::span<const double> lnGamma,
                              double lnKg) {
    for (int j = 0; j < solutes_; ++j)
        c_[j] = Dot(problem.Solutes[j].Elements, lambda0) - standard[j] - lnGamma[j] + lnKg;
}

void DualNewton::StartFrom(const ElementBasis& basis, std::span<const double> lambda, double psi) {
    const std::span<const double> lambda0 = basis.ParticularPotentials();
    for (int k = 0; k < free_; ++k) {
        const std::span<const double> direction = basis.FreeDirection(k);
        double s = 0;
        for (int e = 0; e < elements_; ++e)
            s += direction[e] * (lambda[e] - lambda0[e]);
        u_[k] = s;
    }
    u_[free_] = psi;
    for (int i = 0; i < span_.Size(); ++i)
        w_[i] = Dot(span_.Vector(i), u_);
}

void DualNewton::StartCold(std::span<const double> bulk) {
    // Newton then needs only a few tens of iterations from anywhere sensible.
    const int q = span_.Size();
    double largest = 1e-7;
    for (int e = 0; e < elements_; ++e)
        largest = std::max(largest, bulk[e]);
    const double target = std::log(largest);
    std::fill(hessian_.begin(), hessian_.begin() + static_cast<std::size_t>(q) * q, 0.0);
    std::fill(gradient_.begin(), gradient_.begin() + q, 0.0);
    for (int j = 0; j < solutes_; ++j) {
        const std::span<const double> at = Row(at_, j);
        for (int i = 0; i < q; ++i) {
            gradient_[i] += at[i] * (target - c_[j]);
            for (int k = 0; k < q; ++k)
                hessian_[static_cast<std::size_t>(i) * q + k] += at[i] * at[k];
        }
    }
    cholesky_.Solve(hessian_, gradient_, w_, q);
}

double DualNewton::ObjectiveChange(double step, double& rounding) const {
    // F(w + step dw) − F(w), summed term by term with expm1 so that the changes of species far
    // below the main ones are not lost to the rounding of F itself.
    double change = 0;
    rounding = 0;
    for (int j = 0; j < solutes_; ++j) {
        if (absent_[j]) continue;
        const double moved = x_[j] + step * dx_[j];
        const double term = (x_[j] <= kLnClamp && moved <= kLnClamp)
                                ? std::exp(x_[j]) * std::expm1(step * dx_[j])
                                : ExpIntegral(moved) - ExpIntegral(x_[j]);
        change += term;
        rounding += std::fabs(term);
    }
    const double linear = step * Dot(std::span<const double>(betaT_).first(span_.Size()), dw_);
    change -= linear;
    rounding = 1e-15 * (rounding + std::fabs(linear));
    return change;
}

bool DualNewton::Minimise() {
    const int q = span_.Size();
    const auto hessian = [&](int i, int k) -> double& {
        return hessian_[static_cast<std::size_t>(i) * q + k];
    };
    for (int it = 0; it < kMaxNewton; ++it) {
        if (++iterations_ > kMaxIterations) return false;
        std::fill(gradient_.begin(), gradient_.begin() + q, 0.0);
        std::fill(hessian_.begin(), hessian_.begin() + static_cast<std::size_t>(q) * q, 0.0);
        for (int j = 0; j < solutes_; ++j) {
            if (absent_[j]) {
                n_[j] = 0;
                continue;
            }
            const std::span<const double> at = Row(at_, j).first(q);
            x_[j] = Dot(at, w_) + c_[j];
            n_[j] = ExpClamped(x_[j]);
            for (int i = 0; i < q; ++i) {
                const double ni = n_[j] * at[i];
                gradient_[i] += ni;
                for (int k = 0; k <= i; ++k)
                    hessian(i, k) += ni * at[k];
            }
        }
        if (q == 0) return true;
        // Relative residual of the conservation equations: the Newton steps of species far
        // below the main ones stall at the rounding level of the main ones (about 1e-10 in
        // ln n), so a balance met to rounding counts as converged too.
        double residual = 0;
        for (int i = 0; i < q; ++i) {
            double size = std::fabs(betaT_[i]) + 1e-300;
            for (int j = 0; j < solutes_; ++j)
                size += n_[j] * std::fabs(Row(at_, j)[i]);
            residual = std::max(residual, std::fabs(gradient_[i] - betaT_[i]) / size);
        }
        for (int i = 0; i < q; ++i) {
            gradient_[i] -= betaT_[i];
            for (int k = 0; k < i; ++k)
                hessian(k, i) = hessian(i, k);
        }
        for (int i = 0; i < q; ++i)
            rhs_[i] = -gradient_[i];
        cholesky_.Solve(hessian_, rhs_, dw_, q);
        double up = 0, largest = 0;
        for (int j = 0; j < solutes_; ++j) {
            dx_[j] = Dot(Row(at_, j).first(q), dw_);
            up = std::max(up, dx_[j]);
            largest = std::max(largest, std::fabs(dx_[j]));
        }
        if (!std::isfinite(largest)) return false;
        double step = (up > kStepCap) ? kStepCap / up : 1.0;
        if (largest * step > 1e-6) {
            // Backtracking line search on the convex dual function (Armijo condition, with the
            // Newton decrement Σ n_j dx_j² as the slope). A decrease below the rounding of the
            // change cannot be judged; the capped step is then taken as it is.
            double decrement = 0;
            for (int j = 0; j < solutes_; ++j)
                decrement += n_[j] * dx_[j] * dx_[j];
            for (int halvings = 0; halvings < 60; ++halvings) {
                double rounding = 0;
                const double change = ObjectiveChange(step, rounding);
                if (change <= -1e-4 * step * decrement || 1e-4 * step * decrement < 10 * rounding)
                    break;
                step *= 0.5;
            }
        }
        for (int i = 0; i < q; ++i)
            w_[i] += step * dw_[i];
        if (trace_)
            std::fprintf(stderr,
                         "newton %d: largest step %.3g, step %.3g, balance residual %.3g, "
                         "largest ln n %.4g\n",
                         it, largest, step, residual, *std::max_element(x_.begin(), x_.end()));
        if (largest * step < kStepConverged || (residual < kBalanceConverged && largest < 1e-6)) {
            for (int j = 0; j < solutes_; ++j) {
                if (absent_[j]) continue;
                x_[j] += step * dx_[j];
                n_[j] = ExpClamped(x_[j]);
            }
            return true;
        }
    }
    return false;
}

void DualNewton::Recover(const ElementBasis& basis, std::span<double> lambda, double& psi) {
    std::fill(u_.begin(), u_.begin() + d_, 0.0);
    for (int i = 0; i < span_.Size(); ++i) {
        const std::span<const double> p = span_.Vector(i);
        for (int k = 0; k < d_; ++k)
            u_[k] += w_[i] * p[k];
    }
    const std::span<const double> lambda0 = basis.ParticularPotentials();
    std::copy(lambda0.begin(), lambda0.end(), lambda.begin());
    for (int k = 0; k < free_; ++k) {
        const std::span<const double> direction = basis.FreeDirection(k);
        for (int e = 0; e < elements_; ++e)
            lambda[e] += u_[k] * direction[e];
    }
    psi = u_[free_];
}

}  // namespace varsel::engine::equilibrium
