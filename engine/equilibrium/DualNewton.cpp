#include "engine/equilibrium/DualNewton.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>

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
constexpr double kTitrantStep = 2.0;         // largest change of ln t in one Newton step
constexpr double kLeastTitrant = 1e-25;      // mol: a titrant held there works against
constexpr double kMostTitrant = 1e3;         // mol: more is not a solution of water
constexpr double kImposedMet = 1e-9;         // ln n of the imposed solute that counts as met
constexpr double kTitrantWaits = 0.1;        // w's Newton step in ln n above which t waits
constexpr double kE = 2.718281828459045;
constexpr double kUnbounded = std::numeric_limits<double>::infinity();
constexpr double kTitrantSettled = 1e-9;  // change of ln t that counts as none
constexpr double kVanishing = 100;        // miss over what all of the titrant still moves
constexpr double kBracketMiss = 1e-6;     // a miss of ln n whose sign rounding cannot turn

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
      titrantFormula_(elements, 0.0),
      gamma_(stride_, 0.0),
      gammaT_(stride_, 0.0),
      dGamma_(stride_, 0.0),
      betaT0_(stride_, 0.0),
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
    if (!Feasible(basis, bulk, beta_, betaT0_)) return false;
    if (titrating_) {
        for (int k = 0; k < free_; ++k)
            gamma_[k] = Dot(basis.FreeDirection(k), titrantFormula_);
        gamma_[free_] = 0;
        if (!Feasible(basis, titrantFormula_, gamma_, gammaT_)) return false;
    }
    for (int i = 0; i < q; ++i)
        betaT_[i] = titrating_ ? betaT0_[i] + titrant_ * gammaT_[i] : betaT0_[i];
    return true;
}

bool DualNewton::Feasible(const ElementBasis& basis, std::span<const double> amounts,
                          std::span<const double> v, std::span<double> vT) {
    const int q = span_.Size();
    for (int i = 0; i < q; ++i)
        vT[i] = Dot(span_.Vector(i), v);
    // What is left of v outside the span cannot be held by any species.
    std::copy(v.begin(), v.begin() + d_, residual_.begin());
    for (int i = 0; i < q; ++i) {
        const std::span<const double> p = span_.Vector(i);
        for (int k = 0; k < d_; ++k)
            residual_[k] -= vT[i] * p[k];
    }
    double scale = 0;
    for (int e = 0; e < elements_; ++e)
        scale = std::max(scale, std::fabs(amounts[e]));
    if (Norm(std::span<const double>(residual_).first(d_)) <= kFeasible * scale) return true;

    std::fill(offending_.begin(), offending_.end(), 0.0);
    for (int k = 0; k < free_; ++k) {
        const std::span<const double> direction = basis.FreeDirection(k);
        for (int e = 0; e < elements_; ++e)
            offending_[e] += residual_[k] * direction[e];
    }
    return false;
}

void DualNewton::SetImposedLnAmount(double lnAmount) {
    // Another target (the activity coefficients moved) has its own bracket.
    target_ = lnAmount;
    titrantLow_ = 0;
    titrantHigh_ = kUnbounded;
}

void DualNewton::SetTitrant(std::span<const double> formula, int imposedSolute, double amount) {
    titrating_ = !formula.empty();
    if (!titrating_) return;
    std::copy(formula.begin(), formula.end(), titrantFormula_.begin());
    imposed_ = imposedSolute;
    titrant_ = amount;
    titrantLow_ = 0;
    titrantHigh_ = kUnbounded;
}

bool DualNewton::TitrantStep(int q) {
    // δ = (target − x_h − a_h·d1) / (a_h·d2): the change of t whose Newton step meets x_h.
    cholesky_.Solve(hessian_, gammaT_, dGamma_, q);
    const std::span<const double> d1 = std::span<const double>(dw_).first(q);
    const std::span<const double> ah = Row(at_, imposed_).first(q);
    const double miss = target_ - x_[imposed_] - Dot(ah, d1);  // left after w's own step
    const double sensitivity = Dot(ah, std::span<const double>(dGamma_).first(q));  // dx_h/dt
    const double delta = miss / sensitivity;
    titrantFalling_ = delta < 0;
    // Far from a solution of F(·; t) the titrant waits: the linearised equation says little
    // there, and a titration curve is steep enough to throw t far off.
    double wStep = 0;
    for (int j = 0; j < solutes_; ++j)
        if (!absent_[j]) wStep = std::max(wStep, std::fabs(Dot(Row(at_, j).first(q), d1)));
    titrantMoving_ = false;
    if (wStep > kTitrantWaits || !std::isfinite(delta)) return true;
    // Asked to fall by far more than all of the titrant still moves x_h: the imposed value
    // lies beyond the solution without it.
    if (delta < 0 && kVanishing * std::fabs(sensitivity * titrant_) < std::fabs(miss)) {
        limit_ = TitrantLimit::Vanished;
        return false;
    }
    // Near one, the sign of the miss says on which side of the imposed amount t lies (where
    // the miss exceeds what the rest of w's step, of the order of its square, could turn):
    // the bracket that keeps Newton's steps from cycling about the steep middle of the curve.
    if (std::fabs(miss) > std::max(kBracketMiss, 10 * wStep * wStep))
        ((miss > 0) == (sensitivity > 0) ? titrantLow_ : titrantHigh_) = titrant_;
    double amount =
        std::clamp(titrant_ * std::exp(std::clamp(delta / titrant_, -kTitrantStep, kTitrantStep)),
                   kLeastTitrant, kMostTitrant);
    const bool low = titrantLow_ > 0, high = std::isfinite(titrantHigh_);
    if (amount >= titrantHigh_)
        amount = low ? std::sqrt(titrantLow_ * titrantHigh_)
                     : std::min(std::sqrt(titrant_ * titrantHigh_), titrantHigh_ / kE);
    if (amount <= titrantLow_)
        amount = high ? std::sqrt(titrantLow_ * titrantHigh_)
                      : std::max(std::sqrt(titrant_ * titrantLow_), titrantLow_ * kE);
    amount = std::clamp(amount, kLeastTitrant, kMostTitrant);
    for (int i = 0; i < q; ++i) {
        dw_[i] += (amount - titrant_) * dGamma_[i];
        betaT_[i] = betaT0_[i] + amount * gammaT_[i];
    }
    titrantMoving_ = std::fabs(std::log(amount / titrant_)) > kTitrantSettled;
    titrant_ = amount;
    return true;
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
    limit_ = TitrantLimit::None;
    titrantMoving_ = false;
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
        if (titrating_ && !TitrantStep(q)) return false;
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
        if (trace_ && titrating_)
            std::fprintf(stderr, "  titrant %.9g mol (bracket %.3g to %.3g), ln n miss %.3g\n",
                         titrant_, titrantLow_, titrantHigh_, target_ - x_[imposed_]);
        if (!titrantMoving_ &&
            (largest * step < kStepConverged || (residual < kBalanceConverged && largest < 1e-6))) {
            for (int j = 0; j < solutes_; ++j) {
                if (absent_[j]) continue;
                x_[j] += step * dx_[j];
                n_[j] = ExpClamped(x_[j]);
            }
            // Converged with the imposed amount missed: more titrant would not reach it, or the
            // titrant, on its way to none, no longer moves the solution.
            if (titrating_ && !(std::fabs(target_ - x_[imposed_]) < kImposedMet)) {
                limit_ = titrantFalling_ ? TitrantLimit::Vanished : TitrantLimit::Excessive;
                return false;
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
