#include "engine/equilibrium/GibbsSolver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "model/RuntimeFailure.h"

namespace varsel::engine::equilibrium {

namespace {

constexpr double kStepCap = 20.0;             // largest rise of any ln n in one Newton step
constexpr double kLnClamp = 300.0;            // exp() and the Hessian sums stay finite below this
constexpr int kMaxNewton = 500;               // Newton iterations of one inner solve
constexpr int kMaxIterations = 5000;          // Newton iterations of one calculation
constexpr int kMaxActivityLoops = 200;        // activity-coefficient substitutions
constexpr double kStepConverged = 1e-11;      // Newton step in ln n that counts as converged
constexpr double kBalanceConverged = 1e-13;   // relative residual that counts as converged
constexpr double kActivityConverged = 1e-12;  // change of ln γ, ln a_w that counts as converged
constexpr double kAddPhase = 1e-10;           // ln Ω above which an absent phase is added
constexpr double kRemovePhase = 1e-11;        // relative amount below which a phase is removed
constexpr double kIndependent = 1e-9;         // relative residual of a new basis vector
constexpr double kFeasible = 1e-9;            // relative composition residual off the row space

double Dot(const double* a, const double* b, int n) {
    double s = 0;
    for (int i = 0; i < n; ++i)
        s += a[i] * b[i];
    return s;
}

double Norm(const double* a, int n) {
    return std::sqrt(Dot(a, a, n));
}

// exp with a linear continuation above the clamp: convex, finite, and exact where it matters.
double ExpClamped(double x) {
    return std::exp(std::min(x, kLnClamp));
}
double ExpIntegral(double x) {
    if (x <= kLnClamp) return std::exp(x);
    return std::exp(kLnClamp) * (1.0 + x - kLnClamp);
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// Solves h x = rhs for a symmetric positive semi-definite h (n x n, row-major) by Cholesky
// factorisation of the Jacobi-scaled matrix, so that curvatures of very different sizes (a
// direction carried by 1e-30 mol next to one carried by 1 mol) are all resolved; the diagonal is
// shifted only where a pivot vanishes. `l` is n x n + n scratch.
void SolveSpd(const double* h, const double* rhs, double* x, double* l, int n) {
    double* scale = l + static_cast<std::size_t>(n) * n;
    for (int i = 0; i < n; ++i) {
        const double d = h[i * n + i];
        scale[i] = (d > 0 && std::isfinite(d)) ? 1.0 / std::sqrt(d) : 1.0;
    }
    double shift = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        bool ok = true;
        for (int i = 0; i < n && ok; ++i) {
            for (int j = 0; j <= i; ++j) {
                double s = h[i * n + j] * scale[i] * scale[j] + (i == j ? shift : 0.0);
                for (int k = 0; k < j; ++k)
                    s -= l[i * n + k] * l[j * n + k];
                if (i == j) {
                    if (!(s > 1e-13) || !std::isfinite(s)) {
                        ok = false;
                        break;
                    }
                    l[i * n + i] = std::sqrt(s);
                } else {
                    l[i * n + j] = s / l[j * n + j];
                }
            }
        }
        if (ok) break;
        shift = (shift == 0) ? 1e-12 : shift * 100.0;
    }
    for (int i = 0; i < n; ++i) {
        double s = rhs[i] * scale[i];
        for (int k = 0; k < i; ++k)
            s -= l[i * n + k] * x[k];
        x[i] = s / l[i * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = x[i];
        for (int k = i + 1; k < n; ++k)
            s -= l[k * n + i] * x[k];
        x[i] = s / l[i * n + i];
    }
    for (int i = 0; i < n; ++i)
        x[i] *= scale[i];
}

}  // namespace

GibbsSolver::GibbsSolver(EquilibriumProblem problem) : problem_(std::move(problem)) {
    E_ = problem_.ElementCount();
    ns_ = static_cast<int>(problem_.Solutes.size());
    nx_ = static_cast<int>(problem_.Extras.size());
    np_ = static_cast<int>(problem_.Mobiles.size());
    auto check = [&](const ElementVector& v, const std::string& name) {
        if (static_cast<int>(v.size()) != E_)
            throw RuntimeFailure(kInvalidCall, "species " + name + " has " +
                                                   std::to_string(v.size()) + " element amounts, " +
                                                   "the System has " + std::to_string(E_));
    };
    for (const Mobile& m : problem_.Mobiles)
        check(m.Elements, m.Name);
    for (const Extra& x : problem_.Extras)
        check(x.Elements, x.Name);
    for (const Solute& s : problem_.Solutes)
        check(s.Elements, s.Name);
    check(problem_.Solvent, "H2O");

    const int D = E_ + 1;
    colCap_ = std::max(np_ + 1 + nx_, E_);  // the complement columns pass through R too
    basis_.assign(static_cast<std::size_t>(E_) * E_, 0.0);
    r_.assign(static_cast<std::size_t>(colCap_) * colCap_, 0.0);
    colKind_.assign(colCap_, 0);
    colIndex_.assign(colCap_, 0);
    colPotential_.assign(colCap_, 0.0);
    t_.assign(colCap_, 0.0);
    lambda0_.assign(E_, 0.0);
    lambda_.assign(E_, 0.0);
    active_.assign(nx_, 0);
    blocked_.assign(nx_, 0);
    absent_.assign(ns_, 0);
    extraAbsent_.assign(nx_, 0);
    a_.assign(static_cast<std::size_t>(ns_) * D, 0.0);
    p_.assign(static_cast<std::size_t>(D) * D, 0.0);
    at_.assign(static_cast<std::size_t>(ns_) * D, 0.0);
    for (auto* v : {&beta_, &betaT_, &u_, &w_, &dw_, &g_})
        v->assign(D, 0.0);
    h_.assign(static_cast<std::size_t>(D) * D, 0.0);
    work_.assign(static_cast<std::size_t>(D) * D + 4 * static_cast<std::size_t>(colCap_ + D), 0.0);
    for (auto* v : {&dx_, &c_, &x_, &n_, &lnGamma_})
        v->assign(ns_, 0.0);
    warmLambda_.assign(E_, 0.0);
    warmActive_.assign(nx_, 0);
    result_.SoluteMoles.assign(ns_, 0.0);
    result_.SoluteLnActivity.assign(ns_, 0.0);
    result_.ExtraMoles.assign(nx_, 0.0);
    result_.ExtraLnActivity.assign(nx_, 0.0);
    result_.ElementPotential.assign(E_, 0.0);
    message_.reserve(16);
}

bool GibbsSolver::Fail(const std::string& what) {
    message_ = what;
    return false;
}

std::string GibbsSolver::Where(const EquilibriumConditions& c) {
    return " at T = " + Number(c.TempC) + " C, P = " + Number(c.PressureBar) +
           " bar with the given composition";
}

bool GibbsSolver::CheckInput(const EquilibriumConditions& c) {
    if (static_cast<int>(c.MobilePotential.size()) != np_ ||
        static_cast<int>(c.ExtraPotential.size()) != nx_ ||
        static_cast<int>(c.SoluteStandard.size()) != ns_ || static_cast<int>(c.Bulk.size()) != E_)
        return Fail("the conditions do not match the System (wrong number of values)");
    if (!(c.SolventMoles > 0) || !std::isfinite(c.SolventMoles))
        return Fail("impossible composition: the amount of solvent H2O is " +
                    Number(c.SolventMoles) + " mol; it must be positive");
    for (int e = 0; e < E_; ++e) {
        if (!std::isfinite(c.Bulk[e]) || c.Bulk[e] < 0)
            return Fail("impossible composition: the amount of " + problem_.ElementSymbols[e] +
                        " is " + Number(c.Bulk[e]) + " mol");
    }
    for (int k = 0; k < np_; ++k) {
        if (!std::isfinite(c.MobilePotential[k]))
            return Fail("the potential of p.m.c. " + problem_.Mobiles[k].Name +
                        " is not a finite number" + Where(c));
    }
    for (int m = 0; m < nx_; ++m) {
        if (!std::isfinite(c.ExtraPotential[m]))
            return Fail("the standard potential of " + problem_.Extras[m].Name +
                        " could not be computed" + Where(c));
    }
    for (int j = 0; j < ns_; ++j) {
        if (!std::isfinite(c.SoluteStandard[j]))
            return Fail("the standard potential of " + problem_.Solutes[j].Name +
                        " could not be computed" + Where(c));
    }
    if (!std::isfinite(c.SolventStandard) || !std::isfinite(c.Activity.A) ||
        !std::isfinite(c.Activity.B) || !std::isfinite(c.Activity.Bdot) || c.Activity.A < 0 ||
        c.Activity.B < 0)
        return Fail("the properties of water could not be computed" + Where(c));
    return true;
}

bool GibbsSolver::AddColumn(const double* v, int kind, int index, double potential) {
    double* perp = work_.data();
    double* coef = perp + E_;
    std::copy(v, v + E_, perp);
    std::fill(coef, coef + r_count_, 0.0);
    const double norm0 = Norm(v, E_);
    if (norm0 == 0) return false;
    // Classical Gram-Schmidt twice over: the second pass restores orthogonality lost to
    // cancellation.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < r_count_; ++i) {
            const double* q = &basis_[static_cast<std::size_t>(i) * E_];
            const double d = Dot(q, perp, E_);
            coef[i] += d;
            for (int e = 0; e < E_; ++e)
                perp[e] -= d * q[e];
        }
    }
    const double norm = Norm(perp, E_);
    if (!(norm > kIndependent * norm0)) return false;
    const int col = r_count_;
    double* q = &basis_[static_cast<std::size_t>(col) * E_];
    for (int e = 0; e < E_; ++e)
        q[e] = perp[e] / norm;
    for (int i = 0; i < col; ++i)
        r_[static_cast<std::size_t>(col) * colCap_ + i] = coef[i];
    r_[static_cast<std::size_t>(col) * colCap_ + col] = norm;
    colKind_[col] = kind;
    colIndex_[col] = index;
    colPotential_[col] = potential;
    ++r_count_;
    return true;
}

void GibbsSolver::Coefficients(const double* v, double* coef) const {
    // R coef = Qᵀ v, by back substitution.
    for (int i = 0; i < r_count_; ++i)
        coef[i] = Dot(&basis_[static_cast<std::size_t>(i) * E_], v, E_);
    for (int i = r_count_ - 1; i >= 0; --i) {
        double s = coef[i];
        for (int k = i + 1; k < r_count_; ++k)
            s -= r_[static_cast<std::size_t>(k) * colCap_ + i] * coef[k];
        coef[i] = s / r_[static_cast<std::size_t>(i) * colCap_ + i];
    }
}

bool GibbsSolver::BuildBasis(const EquilibriumConditions& c, bool& retry) {
    retry = false;
    r_count_ = 0;
    waterColumn_ = false;
    waterCol_ = -1;
    double* coef = work_.data() + 2 * static_cast<std::size_t>(E_ + colCap_);
    for (int k = 0; k < np_; ++k) {
        const Mobile& m = problem_.Mobiles[k];
        if (AddColumn(m.Elements.data(), static_cast<int>(ColumnKind::Mobile), k,
                      c.MobilePotential[k]))
            continue;
        // A p.m.c. whose formula combines the others: its potential must agree with theirs.
        Coefficients(m.Elements.data(), coef);
        double implied = 0;
        for (int i = 0; i < r_count_; ++i)
            implied += coef[i] * colPotential_[i];
        if (std::fabs(implied - c.MobilePotential[k]) > 1e-6 * (1.0 + std::fabs(implied)))
            return Fail("the formula of p.m.c. " + m.Name +
                        " combines those of the other p.m.c., and its potential disagrees with "
                        "theirs by " +
                        Number(c.MobilePotential[k] - implied) + " RT");
    }
    if (AddColumn(problem_.Solvent.data(), static_cast<int>(ColumnKind::Water), 0,
                  c.SolventStandard + lnAw_)) {
        waterColumn_ = true;
        waterCol_ = r_count_ - 1;
    }
    for (int m = 0; m < nx_; ++m) {
        if (!active_[m]) continue;
        if (!AddColumn(problem_.Extras[m].Elements.data(), static_cast<int>(ColumnKind::Extra), m,
                       c.ExtraPotential[m]))
            active_[m] = 0;
    }
    // Complete the orthonormal basis with unit vectors: these columns span the directions in
    // which the element amounts of the solution are conserved.
    const int kept = r_count_;
    double* unit = coef + colCap_;
    for (int e = 0; e < E_ && r_count_ < E_; ++e) {
        std::fill(unit, unit + E_, 0.0);
        unit[e] = 1.0;
        const int before = r_count_;
        if (AddColumn(unit, -1, e, 0.0) && r_count_ > before) {
            // AddColumn accepts any independent vector; keep only well-conditioned ones.
            const double diag = r_[static_cast<std::size_t>(before) * colCap_ + before];
            if (diag < 1e-3) --r_count_;
        }
    }
    if (r_count_ != E_) return Fail("internal error: the element basis is incomplete");
    r_count_ = kept;
    return true;
}

void GibbsSolver::MarkAbsentSpecies(const EquilibriumConditions& c) {
    // An element of zero bulk amount that no fixed formula contains is conserved at zero; as
    // stoichiometries are not negative, every species that contains it is absent. Its
    // potential is then undefined (minus infinity), so these species leave the problem.
    std::fill(absent_.begin(), absent_.end(), 0);
    std::fill(extraAbsent_.begin(), extraAbsent_.end(), 0);
    for (int e = 0; e < E_; ++e) {
        if (c.Bulk[e] != 0) continue;
        bool fixed = false;
        for (int i = 0; i < r_count_ && !fixed; ++i) {
            const ElementVector* v = nullptr;
            switch (static_cast<ColumnKind>(colKind_[i])) {
                case ColumnKind::Mobile:
                    v = &problem_.Mobiles[colIndex_[i]].Elements;
                    break;
                case ColumnKind::Water:
                    v = &problem_.Solvent;
                    break;
                case ColumnKind::Extra:
                    v = &problem_.Extras[colIndex_[i]].Elements;
                    break;
            }
            fixed = (*v)[e] != 0;
        }
        if (fixed) continue;
        for (int j = 0; j < ns_; ++j) {
            if (problem_.Solutes[j].Elements[e] != 0) absent_[j] = 1;
        }
        for (int m = 0; m < nx_; ++m) {
            if (!active_[m] && problem_.Extras[m].Elements[e] != 0)
                blocked_[m] = extraAbsent_[m] = 1;
        }
    }
}

void GibbsSolver::UpdateParticularSolution() {
    // Rᵀ t = μ (forward substitution), then λ0 = Q t: the smallest λ that meets the imposed
    // potentials.
    for (int j = 0; j < r_count_; ++j) {
        double s = colPotential_[j];
        for (int i = 0; i < j; ++i)
            s -= r_[static_cast<std::size_t>(j) * colCap_ + i] * t_[i];
        t_[j] = s / r_[static_cast<std::size_t>(j) * colCap_ + j];
    }
    std::fill(lambda0_.begin(), lambda0_.end(), 0.0);
    for (int j = 0; j < r_count_; ++j) {
        const double* q = &basis_[static_cast<std::size_t>(j) * E_];
        for (int e = 0; e < E_; ++e)
            lambda0_[e] += t_[j] * q[e];
    }
}

bool GibbsSolver::BuildDualCoordinates(const EquilibriumConditions& c, bool& retry) {
    retry = false;
    const int D = E_ + 1;
    const int free = E_ - r_count_;
    d_ = free + 1;
    auto nullVector = [&](int k) { return &basis_[static_cast<std::size_t>(r_count_ + k) * E_]; };
    for (int j = 0; j < ns_; ++j) {
        double* a = &a_[static_cast<std::size_t>(j) * D];
        for (int k = 0; k < free; ++k)
            a[k] = Dot(nullVector(k), problem_.Solutes[j].Elements.data(), E_);
        a[free] = problem_.Solutes[j].Charge;
        if (absent_[j]) std::fill(a, a + d_, 0.0);
    }
    for (int k = 0; k < free; ++k)
        beta_[k] = Dot(nullVector(k), c.Bulk.data(), E_);
    beta_[free] = 0;

    // Orthonormal basis of the span of the a_j: the directions the solution feels.
    q_ = 0;
    double* perp = work_.data();
    for (int j = 0; j < ns_ && q_ < d_; ++j) {
        const double* a = &a_[static_cast<std::size_t>(j) * D];
        const double norm0 = Norm(a, d_);
        if (norm0 == 0) continue;
        std::copy(a, a + d_, perp);
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < q_; ++i) {
                const double* pv = &p_[static_cast<std::size_t>(i) * D];
                const double dd = Dot(pv, perp, d_);
                for (int k = 0; k < d_; ++k)
                    perp[k] -= dd * pv[k];
            }
        }
        const double norm = Norm(perp, d_);
        if (!(norm > kIndependent * norm0)) continue;
        double* pv = &p_[static_cast<std::size_t>(q_) * D];
        for (int k = 0; k < d_; ++k)
            pv[k] = perp[k] / norm;
        ++q_;
    }
    for (int j = 0; j < ns_; ++j) {
        const double* a = &a_[static_cast<std::size_t>(j) * D];
        double* at = &at_[static_cast<std::size_t>(j) * D];
        for (int i = 0; i < q_; ++i)
            at[i] = Dot(&p_[static_cast<std::size_t>(i) * D], a, d_);
    }
    for (int i = 0; i < q_; ++i)
        betaT_[i] = Dot(&p_[static_cast<std::size_t>(i) * D], beta_.data(), d_);

    // What is left of the composition outside that span cannot be held by any species.
    std::copy(beta_.begin(), beta_.begin() + d_, perp);
    for (int i = 0; i < q_; ++i) {
        const double* pv = &p_[static_cast<std::size_t>(i) * D];
        for (int k = 0; k < d_; ++k)
            perp[k] -= betaT_[i] * pv[k];
    }
    double scale = 0;
    for (int e = 0; e < E_; ++e)
        scale = std::max(scale, std::fabs(c.Bulk[e]));
    if (Norm(perp, d_) <= kFeasible * scale) return true;

    double* direction = perp + D;  // the offending element combination
    std::fill(direction, direction + E_, 0.0);
    for (int k = 0; k < free; ++k) {
        const double* nv = nullVector(k);
        for (int e = 0; e < E_; ++e)
            direction[e] += perp[k] * nv[e];
    }
    // A pure phase that holds this combination may take it up.
    const double dnorm = Norm(direction, E_);
    int best = -1;
    double bestScore = 1e-6;
    for (int m = 0; m < nx_; ++m) {
        if (active_[m] || blocked_[m]) continue;
        const double* v = problem_.Extras[m].Elements.data();
        const double score = std::fabs(Dot(v, direction, E_)) / (Norm(v, E_) * dnorm);
        if (score > bestScore) {
            bestScore = score;
            best = m;
        }
    }
    if (best >= 0) {
        active_[best] = 1;
        retry = true;
        return false;
    }
    double largest = 0;
    for (int e = 0; e < E_; ++e)
        largest = std::max(largest, std::fabs(direction[e]));
    std::string elements;
    for (int e = 0; e < E_; ++e) {
        if (std::fabs(direction[e]) > 0.05 * largest)
            elements += (elements.empty() ? "" : ", ") + problem_.ElementSymbols[e];
    }
    return Fail(
        "impossible composition: the species of the System cannot hold the given "
        "amounts of " +
        elements + " at T = " + Number(c.TempC) + " C, P = " + Number(c.PressureBar) + " bar");
}

void GibbsSolver::UpdateConstants(const EquilibriumConditions& c) {
    for (int j = 0; j < ns_; ++j)
        c_[j] = Dot(problem_.Solutes[j].Elements.data(), lambda0_.data(), E_) -
                c.SoluteStandard[j] - lnGamma_[j] + lnKg_;
}

void GibbsSolver::StartingPoint(const EquilibriumConditions& c, bool fromLambda) {
    const int D = E_ + 1;
    const int free = E_ - r_count_;
    if (fromLambda) {
        for (int k = 0; k < free; ++k) {
            const double* nv = &basis_[static_cast<std::size_t>(r_count_ + k) * E_];
            double s = 0;
            for (int e = 0; e < E_; ++e)
                s += nv[e] * (lambda_[e] - lambda0_[e]);
            u_[k] = s;
        }
        u_[free] = psi_;
        for (int i = 0; i < q_; ++i)
            w_[i] = Dot(&p_[static_cast<std::size_t>(i) * D], u_.data(), d_);
        return;
    }
    // Cold start: the w whose ln n_j come closest, in least squares, to the scale of the
    // composition. Newton then needs only a few tens of iterations from anywhere sensible.
    double largest = 1e-7;
    for (int e = 0; e < E_; ++e)
        largest = std::max(largest, c.Bulk[e]);
    const double target = std::log(largest);
    std::fill(h_.begin(), h_.begin() + static_cast<std::size_t>(q_) * q_, 0.0);
    std::fill(g_.begin(), g_.begin() + q_, 0.0);
    for (int j = 0; j < ns_; ++j) {
        const double* at = &at_[static_cast<std::size_t>(j) * D];
        for (int i = 0; i < q_; ++i) {
            g_[i] += at[i] * (target - c_[j]);
            for (int k = 0; k < q_; ++k)
                h_[static_cast<std::size_t>(i) * q_ + k] += at[i] * at[k];
        }
    }
    SolveSpd(h_.data(), g_.data(), w_.data(), work_.data(), q_);
}

double GibbsSolver::ObjectiveChange(double step, double& rounding) const {
    // F(w + step dw) − F(w), summed term by term with expm1 so that the changes of species far
    // below the main ones are not lost to the rounding of F itself.
    double change = 0;
    rounding = 0;
    for (int j = 0; j < ns_; ++j) {
        if (absent_[j]) continue;
        const double moved = x_[j] + step * dx_[j];
        const double term = (x_[j] <= kLnClamp && moved <= kLnClamp)
                                ? std::exp(x_[j]) * std::expm1(step * dx_[j])
                                : ExpIntegral(moved) - ExpIntegral(x_[j]);
        change += term;
        rounding += std::fabs(term);
    }
    const double linear = step * Dot(betaT_.data(), dw_.data(), q_);
    change -= linear;
    rounding = 1e-15 * (rounding + std::fabs(linear));
    return change;
}

bool GibbsSolver::Newton() {
    const int D = E_ + 1;
    for (int it = 0; it < kMaxNewton; ++it) {
        if (++iterations_ > kMaxIterations) return false;
        std::fill(g_.begin(), g_.begin() + q_, 0.0);
        std::fill(h_.begin(), h_.begin() + static_cast<std::size_t>(q_) * q_, 0.0);
        for (int j = 0; j < ns_; ++j) {
            if (absent_[j]) {
                n_[j] = 0;
                continue;
            }
            const double* at = &at_[static_cast<std::size_t>(j) * D];
            x_[j] = Dot(at, w_.data(), q_) + c_[j];
            n_[j] = ExpClamped(x_[j]);
            for (int i = 0; i < q_; ++i) {
                const double ni = n_[j] * at[i];
                g_[i] += ni;
                for (int k = 0; k <= i; ++k)
                    h_[static_cast<std::size_t>(i) * q_ + k] += ni * at[k];
            }
        }
        if (q_ == 0) return true;
        // Relative residual of the conservation equations: the Newton steps of species far
        // below the main ones stall at the rounding level of the main ones (about 1e-10 in
        // ln n), so a balance met to rounding counts as converged too.
        double residual = 0;
        for (int i = 0; i < q_; ++i) {
            double size = std::fabs(betaT_[i]) + 1e-300;
            for (int j = 0; j < ns_; ++j)
                size += n_[j] * std::fabs(at_[static_cast<std::size_t>(j) * D + i]);
            residual = std::max(residual, std::fabs(g_[i] - betaT_[i]) / size);
        }
        for (int i = 0; i < q_; ++i) {
            g_[i] -= betaT_[i];
            for (int k = 0; k < i; ++k)
                h_[static_cast<std::size_t>(k) * q_ + i] = h_[static_cast<std::size_t>(i) * q_ + k];
        }
        for (int i = 0; i < q_; ++i)
            work_[i] = -g_[i];
        SolveSpd(h_.data(), work_.data(), dw_.data(), work_.data() + q_, q_);
        double up = 0, largest = 0;
        for (int j = 0; j < ns_; ++j) {
            dx_[j] = Dot(&at_[static_cast<std::size_t>(j) * D], dw_.data(), q_);
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
            for (int j = 0; j < ns_; ++j)
                decrement += n_[j] * dx_[j] * dx_[j];
            for (int halvings = 0; halvings < 60; ++halvings) {
                double rounding = 0;
                const double change = ObjectiveChange(step, rounding);
                if (change <= -1e-4 * step * decrement || 1e-4 * step * decrement < 10 * rounding)
                    break;
                step *= 0.5;
            }
        }
        for (int i = 0; i < q_; ++i)
            w_[i] += step * dw_[i];
        if (trace_)
            std::fprintf(stderr,
                         "newton %d: largest step %.3g, step %.3g, balance residual %.3g, "
                         "largest ln n %.4g\n",
                         it, largest, step, residual, *std::max_element(x_.begin(), x_.end()));
        if (largest * step < kStepConverged || (residual < kBalanceConverged && largest < 1e-6)) {
            for (int j = 0; j < ns_; ++j) {
                if (absent_[j]) continue;
                x_[j] += step * dx_[j];
                n_[j] = ExpClamped(x_[j]);
            }
            return true;
        }
    }
    return false;
}

void GibbsSolver::Recover() {
    const int D = E_ + 1;
    const int free = E_ - r_count_;
    std::fill(u_.begin(), u_.begin() + d_, 0.0);
    for (int i = 0; i < q_; ++i) {
        const double* pv = &p_[static_cast<std::size_t>(i) * D];
        for (int k = 0; k < d_; ++k)
            u_[k] += w_[i] * pv[k];
    }
    lambda_ = lambda0_;
    for (int k = 0; k < free; ++k) {
        const double* nv = &basis_[static_cast<std::size_t>(r_count_ + k) * E_];
        for (int e = 0; e < E_; ++e)
            lambda_[e] += u_[k] * nv[e];
    }
    psi_ = u_[free];
}

void GibbsSolver::SetActivityCoefficients(const EquilibriumConditions& c, double ionic) {
    for (int j = 0; j < ns_; ++j) {
        const Solute& s = problem_.Solutes[j];
        lnGamma_[j] = LnGamma(c.Activity, s.Charge, s.IonSize, ionic);
    }
}

bool GibbsSolver::StateActivity(const EquilibriumConditions& c, double& ionic,
                                double& lnWater) const {
    const double kg = std::exp(lnKg_);
    double total = 0, ions = 0, sigmaSum = 0;
    ionic = 0;
    for (int j = 0; j < ns_; ++j) {
        const double z = problem_.Solutes[j].Charge;
        const double m = n_[j] / kg;
        total += m;
        if (z != 0) {
            ionic += 0.5 * z * z * m;
            ions += m;
        }
    }
    lnWater = lnAw_;
    if (waterColumn_) {
        const BdotParameters& p = c.Activity;
        const double root = std::sqrt(ionic);
        for (int j = 0; j < ns_; ++j) {
            const Solute& s = problem_.Solutes[j];
            if (s.Charge != 0)
                sigmaSum += n_[j] / kg * s.Charge * s.Charge * OsmoticSigma(s.IonSize * p.B * root);
        }
        constexpr double kLn10 = 2.302585092994046;
        const double osmotic =
            total - kLn10 * p.A * root / 3.0 * sigmaSum + 0.5 * kLn10 * p.Bdot * ionic * ions;
        lnWater = -osmotic / kWaterMolesPerKg;
    }
    return std::isfinite(ionic) && std::isfinite(lnWater);
}

void GibbsSolver::ExtraAmounts(const EquilibriumConditions& c) {
    // What the solution does not hold of the bulk belongs to the phases of fixed potential:
    // M ξ = b − Σ A_j n_j, solved with the factors of M = Q R.
    double* rest = work_.data();
    double* xi = rest + E_;
    for (int e = 0; e < E_; ++e) {
        double s = c.Bulk[e];
        for (int j = 0; j < ns_; ++j)
            s -= problem_.Solutes[j].Elements[e] * n_[j];
        rest[e] = s;
    }
    Coefficients(rest, xi);
    std::fill(result_.ExtraMoles.begin(), result_.ExtraMoles.end(), 0.0);
    for (int i = 0; i < r_count_; ++i) {
        if (colKind_[i] == static_cast<int>(ColumnKind::Extra))
            result_.ExtraMoles[colIndex_[i]] = xi[i];
    }
}

bool GibbsSolver::RemoveNegativePhase(const EquilibriumConditions& c) {
    // A present phase leaves when its amount is negative beyond rounding. Rounding is judged
    // per phase, from the amounts of its own elements in the system: relative to the smallest
    // (a trace element's phase must go when that element runs out), plus the rounding that the
    // largest brings into the least-squares amounts.
    double largest = 1e-300;
    for (int e = 0; e < E_; ++e) {
        double s = std::fabs(c.Bulk[e]);
        for (int j = 0; j < ns_; ++j)
            s += std::fabs(problem_.Solutes[j].Elements[e]) * n_[j];
        work_[e] = s;
        largest = std::max(largest, s);
    }
    int worst = -1;
    double worstShare = 0;
    for (int m = 0; m < nx_; ++m) {
        if (!active_[m]) continue;
        double smallest = largest, biggest = 0;
        for (int e = 0; e < E_; ++e) {
            if (problem_.Extras[m].Elements[e] == 0) continue;
            smallest = std::min(smallest, work_[e]);
            biggest = std::max(biggest, work_[e]);
        }
        const double tolerance = kRemovePhase * smallest + 1e-15 * biggest + 1e-300;
        const double share = result_.ExtraMoles[m] / tolerance;
        if (result_.ExtraMoles[m] < -tolerance && share < worstShare) {
            worstShare = share;
            worst = m;
        }
    }
    if (worst < 0) return false;
    active_[worst] = 0;
    return true;
}

int GibbsSolver::ChangeActiveSet(const EquilibriumConditions& c) {
    if (RemoveNegativePhase(c)) return 1;
    double* coef = work_.data() + 2 * static_cast<std::size_t>(E_ + colCap_);
    for (;;) {
        int best = -1;
        double bestSaturation = kAddPhase;
        for (int m = 0; m < nx_; ++m) {
            if (active_[m] || blocked_[m]) continue;
            const double saturation =
                Dot(problem_.Extras[m].Elements.data(), lambda_.data(), E_) - c.ExtraPotential[m];
            if (saturation > bestSaturation) {
                bestSaturation = saturation;
                best = m;
            }
        }
        if (best < 0) return 0;
        const double* v = problem_.Extras[best].Elements.data();
        // Independent of the fixed formulas: the phase joins them.
        double* perp = work_.data();
        std::copy(v, v + E_, perp);
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < r_count_; ++i) {
                const double* q = &basis_[static_cast<std::size_t>(i) * E_];
                const double d = Dot(q, perp, E_);
                for (int e = 0; e < E_; ++e)
                    perp[e] -= d * q[e];
            }
        }
        if (Norm(perp, E_) > kIndependent * Norm(v, E_)) {
            active_[best] = 1;
            return 1;
        }
        // Its formula combines fixed ones: it replaces the present phase that weighs most in
        // that combination; when only p.m.c. and the solvent make it up, its amount is not
        // defined in an open system and it stays out.
        Coefficients(v, coef);
        int replace = -1;
        double weight = 1e-9;
        for (int i = 0; i < r_count_; ++i) {
            if (colKind_[i] == static_cast<int>(ColumnKind::Extra) && std::fabs(coef[i]) > weight) {
                weight = std::fabs(coef[i]);
                replace = colIndex_[i];
            }
        }
        blocked_[best] = 1;
        if (replace >= 0) {
            active_[replace] = 0;
            active_[best] = 1;
            return 1;
        }
    }
}

void GibbsSolver::StoreResult(const EquilibriumConditions& c) {
    for (int j = 0; j < ns_; ++j) {
        const Solute& s = problem_.Solutes[j];
        if (absent_[j]) {
            result_.SoluteMoles[j] = 0;
            result_.SoluteLnActivity[j] = kAbsentLnActivity;
            continue;
        }
        result_.SoluteMoles[j] = std::exp(x_[j]);
        result_.SoluteLnActivity[j] =
            Dot(s.Elements.data(), lambda_.data(), E_) + s.Charge * psi_ - c.SoluteStandard[j];
    }
    for (int m = 0; m < nx_; ++m) {
        if (active_[m]) {
            result_.ExtraMoles[m] = std::max(result_.ExtraMoles[m], 0.0);
            result_.ExtraLnActivity[m] = 0;
        } else {
            result_.ExtraMoles[m] = 0;
            result_.ExtraLnActivity[m] =
                Dot(problem_.Extras[m].Elements.data(), lambda_.data(), E_) - c.ExtraPotential[m];
            if (extraAbsent_[m]) result_.ExtraLnActivity[m] = kAbsentLnActivity;
        }
    }
    result_.ElementPotential = lambda_;
    result_.ChargePotential = psi_;
    result_.LnWaterActivity = Dot(problem_.Solvent.data(), lambda_.data(), E_) - c.SolventStandard;
    result_.Iterations = iterations_;
}

bool GibbsSolver::Solve(const EquilibriumConditions& c, bool warm) {
    iterations_ = 0;
    if (!CheckInput(c)) return false;
    lnKg_ = std::log(c.SolventMoles / kWaterMolesPerKg);
    const bool useWarm = warm && haveWarm_;
    double ionicIn = 0;  // the ionic strength the activity coefficients are computed at
    if (useWarm) {
        active_ = warmActive_;
        ionicIn = warmIonic_;
        lnAw_ = warmAw_;
        lambda_ = warmLambda_;
        psi_ = warmPsi_;
    } else {
        std::fill(active_.begin(), active_.end(), 0);
        ionicIn = 0;
        lnAw_ = 0;
    }
    std::fill(blocked_.begin(), blocked_.end(), 0);
    bool haveLambda = useWarm;
    const int maxPasses = 3 * nx_ + 8;
    for (int pass = 0; pass < maxPasses; ++pass) {
        bool retry = false;
        if (!BuildBasis(c, retry)) return false;
        UpdateParticularSolution();
        MarkAbsentSpecies(c);
        if (!BuildDualCoordinates(c, retry)) {
            if (retry) continue;
            return false;
        }
        SetActivityCoefficients(c, ionicIn);
        UpdateConstants(c);
        StartingPoint(c, haveLambda);
        const long activeCount = std::count(active_.begin(), active_.end(), 1);
        // The activity coefficients depend on the solution through one number, the ionic
        // strength: solve I_out(I) = I for it by a safeguarded secant method, which also
        // settles the concentrated and low-density solutions where plain substitution
        // oscillates or runs away. The water activity follows by substitution.
        bool settled = false, removed = false;
        double previousIn = 0, previousGap = 0, low = 0, high = HUGE_VAL;
        for (int loop = 0; loop < kMaxActivityLoops; ++loop) {
            if (!Newton()) return Fail("no convergence" + Where(c));
            // A present phase whose amount has turned negative leaves at once: with a wrong set
            // of phases the solution can be far from anything the activity model can follow.
            if (activeCount > 0) {
                ExtraAmounts(c);
                if (RemoveNegativePhase(c)) {
                    removed = true;
                    break;
                }
            }
            double ionicOut = 0, lnWater = 0;
            if (!StateActivity(c, ionicOut, lnWater)) return Fail("no convergence" + Where(c));
            result_.IonicStrength = ionicOut;
            double change = std::fabs(lnWater - lnAw_);
            for (int j = 0; j < ns_; ++j) {
                const Solute& s = problem_.Solutes[j];
                change = std::max(
                    change,
                    std::fabs(LnGamma(c.Activity, s.Charge, s.IonSize, ionicOut) - lnGamma_[j]));
            }
            if (trace_)
                std::fprintf(stderr, "activity loop %d: change %.3g, ionic strength %.6g\n", loop,
                             change, ionicOut);
            lnAw_ = lnWater;
            if (change < kActivityConverged) {
                settled = true;
                break;
            }
            // Keep the root bracketed: below it the solution's ionic strength exceeds the one
            // assumed, above it falls short. The secant step is taken inside the bracket, a
            // bisection (geometric where the bracket spans decades) otherwise.
            const double gap = ionicOut - ionicIn;
            if (gap > 0)
                low = std::max(low, ionicIn);
            else
                high = std::min(high, ionicIn);
            double next = ionicOut;
            if (loop > 0 && ionicIn != previousIn) {
                const double slope = (gap - previousGap) / (ionicIn - previousIn);
                if (slope != 0 && std::isfinite(slope)) next = ionicIn - gap / slope;
            }
            if (std::isfinite(high)) {
                if (!(next > low && next < high))
                    next = (low > 0 && high > 4 * low) ? std::sqrt(low * high) : 0.5 * (low + high);
            } else if (!(next > low)) {
                next = ionicOut;
            }
            previousIn = ionicIn;
            previousGap = gap;
            ionicIn = next;
            SetActivityCoefficients(c, ionicIn);
            if (waterColumn_) {
                colPotential_[waterCol_] = c.SolventStandard + lnAw_;
                UpdateParticularSolution();
            }
            UpdateConstants(c);
        }
        if (removed) {
            Recover();
            haveLambda = true;
            continue;
        }
        if (!settled) return Fail("no convergence of the activity coefficients" + Where(c));
        Recover();
        haveLambda = true;
        ExtraAmounts(c);
        if (ChangeActiveSet(c) != 0) continue;
        StoreResult(c);
        warmLambda_ = lambda_;
        warmPsi_ = psi_;
        warmIonic_ = ionicIn;
        warmAw_ = lnAw_;
        warmActive_ = active_;
        haveWarm_ = true;
        message_ = "OK";
        return true;
    }
    return Fail("the set of stable phases did not settle" + Where(c));
}

}  // namespace varsel::engine::equilibrium
