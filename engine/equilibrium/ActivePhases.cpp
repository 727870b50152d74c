#include "engine/equilibrium/ActivePhases.h"

#include <algorithm>
#include <cmath>

#include "engine/equilibrium/VectorMath.h"

namespace varsel::engine::equilibrium {

namespace {
constexpr double kAddPhase = 1e-10;       // ln Ω above which an absent phase is added
constexpr double kRemovePhase = 1e-11;    // relative amount below which a phase is removed
constexpr double kHoldsDirection = 1e-6;  // cosine above which a phase may take up a direction
constexpr double kReplaces = 1e-9;        // weight of a present phase in a combination
}  // namespace

ActivePhases::ActivePhases(int elements, int extras)
    : elements_(elements),
      extras_(extras),
      active_(extras, 0),
      blocked_(extras, 0),
      absent_(extras, 0),
      amounts_(extras, 0.0),
      rest_(elements, 0.0),
      coef_(elements, 0.0),
      elementScale_(elements, 0.0) {}

void ActivePhases::Reset() {
    std::fill(active_.begin(), active_.end(), 0);
}

int ActivePhases::ActiveCount() const {
    return static_cast<int>(std::count(active_.begin(), active_.end(), 1));
}

void ActivePhases::ClearBlocked() {
    std::fill(blocked_.begin(), blocked_.end(), 0);
}

void ActivePhases::ClearAbsent() {
    std::fill(absent_.begin(), absent_.end(), 0);
}

void ActivePhases::SetAbsent(int m) {
    if (!active_[m]) blocked_[m] = absent_[m] = 1;
}

bool ActivePhases::AddPhaseHolding(const EquilibriumProblem& problem,
                                   std::span<const double> direction) {
    const double dnorm = Norm(direction);
    int best = -1;
    double bestScore = kHoldsDirection;
    for (int m = 0; m < extras_; ++m) {
        if (active_[m] || blocked_[m]) continue;
        const std::span<const double> v = problem.Extras[m].Elements;
        const double score = std::fabs(Dot(v, direction)) / (Norm(v) * dnorm);
        if (score > bestScore) {
            bestScore = score;
            best = m;
        }
    }
    if (best < 0) return false;
    active_[best] = 1;
    return true;
}

void ActivePhases::UpdateAmounts(const EquilibriumProblem& problem, const ElementBasis& basis,
                                 std::span<const double> bulk,
                                 std::span<const double> soluteMoles) {
    const int solutes = static_cast<int>(problem.Solutes.size());
    for (int e = 0; e < elements_; ++e) {
        double s = bulk[e];
        for (int j = 0; j < solutes; ++j)
            s -= problem.Solutes[j].Elements[e] * soluteMoles[j];
        rest_[e] = s;
    }
    basis.Coefficients(rest_, coef_);
    std::fill(amounts_.begin(), amounts_.end(), 0.0);
    for (int i = 0; i < basis.FixedCount(); ++i) {
        if (basis.Column(i).Kind == ColumnKind::Extra) amounts_[basis.Column(i).Index] = coef_[i];
    }
}

bool ActivePhases::RemoveNegative(const EquilibriumProblem& problem, std::span<const double> bulk,
                                  std::span<const double> soluteMoles) {
    // Rounding is judged per phase, from the amounts of its own elements in the system:
    // relative to the smallest (a trace element's phase must go when that element runs out),
    // plus the rounding that the largest brings into the least-squares amounts.
    const int solutes = static_cast<int>(problem.Solutes.size());
    double largest = 1e-300;
    for (int e = 0; e < elements_; ++e) {
        double s = std::fabs(bulk[e]);
        for (int j = 0; j < solutes; ++j)
            s += std::fabs(problem.Solutes[j].Elements[e]) * soluteMoles[j];
        elementScale_[e] = s;
        largest = std::max(largest, s);
    }
    int worst = -1;
    double worstShare = 0;
    for (int m = 0; m < extras_; ++m) {
        if (!active_[m]) continue;
        double smallest = largest, biggest = 0;
        for (int e = 0; e < elements_; ++e) {
            if (problem.Extras[m].Elements[e] == 0) continue;
            smallest = std::min(smallest, elementScale_[e]);
            biggest = std::max(biggest, elementScale_[e]);
        }
        const double tolerance = kRemovePhase * smallest + 1e-15 * biggest + 1e-300;
        const double share = amounts_[m] / tolerance;
        if (amounts_[m] < -tolerance && share < worstShare) {
            worstShare = share;
            worst = m;
        }
    }
    if (worst < 0) return false;
    active_[worst] = 0;
    return true;
}

ActiveSetChange ActivePhases::Change(const EquilibriumProblem& problem, ElementBasis& basis,
                                     std::span<const double> lambda,
                                     std::span<const double> potential,
                                     std::span<const double> bulk,
                                     std::span<const double> soluteMoles) {
    if (RemoveNegative(problem, bulk, soluteMoles)) return ActiveSetChange::Changed;
    for (;;) {
        int best = -1;
        double bestSaturation = kAddPhase;
        for (int m = 0; m < extras_; ++m) {
            if (active_[m] || blocked_[m]) continue;
            const double saturation = Dot(problem.Extras[m].Elements, lambda) - potential[m];
            if (saturation > bestSaturation) {
                bestSaturation = saturation;
                best = m;
            }
        }
        if (best < 0) return ActiveSetChange::Settled;
        const std::span<const double> v = problem.Extras[best].Elements;
        // Independent of the fixed formulas: the phase joins them.
        if (basis.NormOutsideFixed(v) > kIndependent * Norm(v)) {
            active_[best] = 1;
            return ActiveSetChange::Changed;
        }
        // Its formula combines fixed ones: it replaces the present phase that weighs most in
        // that combination; when only p.m.c. and the solvent make it up, its amount is not
        // defined in an open system and it stays out.
        basis.Coefficients(v, coef_);
        int replace = -1;
        double weight = kReplaces;
        for (int i = 0; i < basis.FixedCount(); ++i) {
            if (basis.Column(i).Kind == ColumnKind::Extra && std::fabs(coef_[i]) > weight) {
                weight = std::fabs(coef_[i]);
                replace = basis.Column(i).Index;
            }
        }
        blocked_[best] = 1;
        if (replace >= 0) {
            active_[replace] = 0;
            active_[best] = 1;
            return ActiveSetChange::Changed;
        }
    }
}

}  // namespace varsel::engine::equilibrium
