// The active set of the pure phases (the System's extras): which of them are present, and
// their amounts. A phase is present exactly when its saturation index ln Ω = A·λ − μ°/RT is
// zero and its amount positive; absent, its index is negative. The set is found by adding
// the most supersaturated phase and removing a present phase whose amount turns negative,
// one change at a time (the active-set strategy of Smith & Missen 1982, Chemical Reaction
// Equilibrium Analysis, ch. 6, for phases of fixed composition).
//
// Storage is sized at construction; nothing allocates afterwards.
#pragma once

#include <span>
#include <vector>

#include "engine/equilibrium/ElementBasis.h"
#include "engine/equilibrium/EquilibriumProblem.h"

namespace varsel::engine::equilibrium {

/// What one look at the active set did.
enum class ActiveSetChange { Settled, Changed };

class ActivePhases {
  public:
    ActivePhases(int elements, int extras);

    /// Starts with no phase present, or with the phases of a previous solution.
    void Reset();
    void Restore(const std::vector<char>& present) { active_ = present; }
    const std::vector<char>& Present() const { return active_; }

    bool IsActive(int m) const { return active_[m] != 0; }
    void Deactivate(int m) { active_[m] = 0; }
    int ActiveCount() const;

    /// Unblocks every phase; a blocked phase is not added again in this calculation.
    void ClearBlocked();
    /// Forgets which phases cannot exist; then marks one that holds an element the
    /// solution has none of (it is blocked unless present).
    void ClearAbsent();
    void SetAbsent(int m);
    bool IsAbsent(int m) const { return absent_[m] != 0; }

    /// Adds the phase whose formula lies closest to the element combination `direction`,
    /// which the solution cannot hold; false when no phase may take it up.
    bool AddPhaseHolding(const EquilibriumProblem& problem, std::span<const double> direction);

    /// The amounts of the present phases: what the solution does not hold of the bulk b
    /// belongs to the phases of fixed potential, M ξ = b − Σ_j A_j n_j.
    void UpdateAmounts(const EquilibriumProblem& problem, const ElementBasis& basis,
                       std::span<const double> bulk, std::span<const double> soluteMoles);
    std::span<const double> Amounts() const { return amounts_; }

    /// Removes the present phase whose amount is most negative beyond rounding; false when
    /// there is none.
    bool RemoveNegative(const EquilibriumProblem& problem, std::span<const double> bulk,
                        std::span<const double> soluteMoles);

    /// One change of the active set after a converged solution: a negative phase leaves, or
    /// the most supersaturated one joins (taking the place of a present phase when its formula
    /// combines fixed ones).
    ActiveSetChange Change(const EquilibriumProblem& problem, ElementBasis& basis,
                           std::span<const double> lambda, std::span<const double> potential,
                           std::span<const double> bulk, std::span<const double> soluteMoles);

  private:
    int elements_ = 0, extras_ = 0;
    std::vector<char> active_, blocked_, absent_;
    std::vector<double> amounts_;
    std::vector<double> rest_;          // b − Σ A_j n_j
    std::vector<double> coef_;          // coefficients in the fixed columns
    std::vector<double> elementScale_;  // amount of each element in the system, for rounding
};

}  // namespace varsel::engine::equilibrium
