// The dual (element-potential) form of the Gibbs energy minimisation of the solution and its
// damped Newton iteration (White, Johnson & Dantzig 1958, J. Chem. Phys. 28, 751-755; Smith &
// Missen 1982, Chemical Reaction Equilibrium Analysis, ch. 6; Reynolds 1986, The element
// potential method for chemical equilibrium analysis, Stanford University).
//
// With the element potentials λ = λ0 + N y (ElementBasis.h) and the charge potential ψ, the
// amount of solute j is n_j = kg_w exp(c_j + a_j·u), u = (y, ψ), a_j = (Nᵀ A_j, z_j),
// c_j = A_j·λ0 − μ°_j/RT − ln γ_j + ln kg_w. The free coordinates minimise the convex dual
// function F(u) = Σ_j n_j − βᵀu (β = (Nᵀ b, 0): the conserved amounts and electroneutrality),
// whose gradient is the conservation residual and whose Hessian Σ n_j a_j a_jᵀ is positive
// semi-definite. Directions that no species feels (a System without a redox couple leaves
// one) are removed with an orthonormal basis P of the span of the a_j: w = Pᵀu. A composition
// with a part of β outside that span cannot be held by the System's species.
//
// Newton steps on w are solved by ScaledCholesky, capped so that no ln n rises by more than
// 20 in one step, and shortened by a backtracking line search on F (Armijo 1966, Pacific J.
// Math. 16, 1-3). Amounts are carried as logarithms throughout, so that species from 1e-300
// to 1e2 mol are resolved. All storage is sized at construction.
//
// An imposed amount of one solute (the hydrogen ion of an imposed pH) is met by a titrant of
// formula T and unknown amount t > 0, which adds t Nᵀ T (γ in u coordinates) to the conserved
// amounts: F(w; t) = Σ_j n_j − (β + t γ)ᵀu. The amount is one more unknown and x_h = target one
// more equation of the same Newton iteration. With H d1 = −∇F(w; t) and H d2 = Pᵀγ, the
// Newton step of F(·; t + δ) is d1 + δ d2, and it meets the linearised equation for
// δ = (target − x_h − a_h·d1) / (a_h·d2). The amount moves by a factor exp(δ/t) (at most e²
// either way), so that it never reaches zero and crosses orders of magnitude in a few steps,
// and w then takes the Newton step of F(·; t_new), shortened by the same line search. Two
// safeguards keep t from the cycles that Newton's steps fall into about the steep middle of a
// titration curve: t waits while w's own Newton step exceeds 0.1 in some ln n (far from a
// solution of F(·; t) the linearised equation says little), and once it moves, the sign of the
// miss that w's step leaves brackets the amount; a step that leaves the bracket is replaced by
// its geometric middle. The amount is held between 1e-25 and 1e3 mol. A titrant asked to fall
// by far more than all of it still moves x_h (a hundred times), or an iteration that converges
// with the imposed amount missed while the titrant asks to fall, means that it works against
// the imposed value: the solution without titrant lies beyond it already.
#pragma once

#include <span>
#include <vector>

#include "engine/equilibrium/ElementBasis.h"
#include "engine/equilibrium/EquilibriumProblem.h"
#include "engine/equilibrium/OrthonormalSet.h"
#include "engine/equilibrium/ScaledCholesky.h"

namespace varsel::engine::equilibrium {

class DualNewton {
  public:
    DualNewton(int elements, int solutes);

    /// Solutes left out of the problem (they hold an element the solution has none of).
    void ClearAbsent();
    void SetAbsent(int j) { absent_[j] = 1; }
    bool IsAbsent(int j) const { return absent_[j] != 0; }

    /// Builds the dual coordinates for the current fixed columns of `basis`. Returns false when
    /// the composition `bulk` (mol of each element) has a part that no species can hold;
    /// Offending() then gives that element combination.
    bool Build(const EquilibriumProblem& problem, const ElementBasis& basis,
               std::span<const double> bulk);
    std::span<const double> Offending() const { return offending_; }

    /// The constants c_j from λ0, the standard potentials μ°/RT, ln γ and ln kg_w.
    void SetConstants(const EquilibriumProblem& problem, std::span<const double> lambda0,
                      std::span<const double> standard, std::span<const double> lnGamma,
                      double lnKg);

    /// Starts from given element and charge potentials (a previous solution).
    void StartFrom(const ElementBasis& basis, std::span<const double> lambda, double psi);
    /// Starts where ln n_j come closest, in least squares, to the scale of the composition.
    void StartCold(std::span<const double> bulk);

    /// The titrant of an imposed amount: element amounts per mole (`formula` of the elements'
    /// size) and the moles to start from; an empty `formula` takes the titrant away. Build
    /// projects it like the composition (and refuses it, naming the elements, where no species
    /// can hold it).
    void SetTitrant(std::span<const double> formula, int imposedSolute, double amount);
    /// The imposed ln n of the titrant's solute, mol.
    void SetImposedLnAmount(double lnAmount);
    /// The moles of titrant of the current point.
    double TitrantAmount() const { return titrant_; }

    /// Why Minimise failed with the titrant: the iteration converged with the imposed amount
    /// missed, the titrant asking to fall (towards none: the imposed value lies on the other
    /// side of the solution without titrant) or to rise (beyond 1e3 mol, or it does not move
    /// the imposed amount).
    enum class TitrantLimit { None, Vanished, Excessive };
    TitrantLimit Limit() const { return limit_; }

    /// Minimises F by Newton's method; false when it does not converge.
    bool Minimise();

    /// The element and charge potentials of the current point.
    void Recover(const ElementBasis& basis, std::span<double> lambda, double& psi);

    std::span<const double> Amounts() const { return n_; }    ///< n_j, mol
    std::span<const double> LnAmounts() const { return x_; }  ///< ln n_j

    /// Newton iterations since the last reset, all calls of Minimise together.
    int Iterations() const { return iterations_; }
    void ResetIterations() { iterations_ = 0; }
    void SetTrace(bool trace) { trace_ = trace; }

  private:
    std::span<double> Row(std::vector<double>& m, int j);
    std::span<const double> Row(const std::vector<double>& m, int j) const;
    double ObjectiveChange(double step, double& rounding) const;
    // Whether v (u coordinates, from element amounts `amounts`) lies in the span of the a_j;
    // vT receives Pᵀv, Offending() the part outside when it does not.
    bool Feasible(const ElementBasis& basis, std::span<const double> amounts,
                  std::span<const double> v, std::span<double> vT);
    // Moves the titrant amount by its Newton step, within its limits, and turns dw_ into the
    // step of F(·; t_new); false when the titrant is found to work against the imposed value.
    bool TitrantStep(int q);

    int elements_ = 0, solutes_ = 0;
    int stride_ = 0;  // E + 1: room for every free coordinate and ψ
    int free_ = 0;    // free element coordinates y
    int d_ = 0;       // coordinates u = (y, ψ)
    std::vector<char> absent_;
    std::vector<double> a_;   // a_j in u coordinates, row j
    OrthonormalSet span_;     // P
    std::vector<double> at_;  // Pᵀa_j, row j
    std::vector<double> beta_, betaT_;
    std::vector<double> u_, w_, dw_, gradient_, rhs_;
    std::vector<double> hessian_;  // q x q, row-major
    std::vector<double> residual_, offending_;
    std::vector<double> c_, x_, n_, dx_;
    // The titrant: formula, γ in u coordinates, Pᵀγ, H⁻¹Pᵀγ, the composition's own Pᵀβ.
    std::vector<double> titrantFormula_, gamma_, gammaT_, dGamma_, betaT0_;
    bool titrating_ = false;
    bool titrantFalling_ = false;  // the last Newton step asked for less titrant
    bool titrantMoving_ = false;   // the last Newton step changed its amount
    int imposed_ = -1;
    double titrant_ = 0, target_ = 0;
    // The bracket of the amount that meets the target; 0 and infinity where not yet seen.
    double titrantLow_ = 0, titrantHigh_ = 0;
    TitrantLimit limit_ = TitrantLimit::None;
    ScaledCholesky cholesky_;
    int iterations_ = 0;
    bool trace_ = false;
};

}  // namespace varsel::engine::equilibrium
