// Chemical equilibrium of an aqueous solution open to perfectly mobile components, by
// minimisation of the Gibbs energy in its dual form (the element-potential method).
//
// At equilibrium every species' chemical potential is a combination of element potentials λ_e
// and a charge potential ψ: μ_i = Σ_e A_ei λ_e + z_i ψ. The imposed potentials of the
// p.m.c., of the solvent (which exchanges water with the one-kilogram pool at its own
// chemical potential, μ°_w + RT ln a_w) and of every pure phase present (the active extras)
// fix λ on the span of their formulas; on the complement of that span the element amounts
// of the solution are conserved, and the solution is electrically neutral. With
// amounts n_j = kg_w exp(A_j·λ + z_j ψ − μ°_j/RT − ln γ_j) the remaining unknowns minimise the
// convex dual function F(y, ψ) = Σ_j n_j − (Nᵀb)·y (λ = λ0 + N y), whose gradient is the
// conservation residual and whose Hessian Σ n_j a_j a_jᵀ is positive semi-definite. Directions
// that no species feels (Systems without a redox couple leave one) are removed with an
// orthonormal basis of the row space; a composition with a component along them cannot be held
// by the System's species and is reported as impossible.
//
// Loops, each bounded: the active set of pure phases (added by saturation index, removed when
// their amount turns negative), the activity coefficients (a bracketed secant iteration on the
// true ionic strength) with the water activity, and the damped Newton iteration on F (line search,
// capped steps in ln n, logarithms of amounts throughout). The last solution is the starting
// point of the next call unless a cold start is asked for. All work storage is sized when the
// solver is built; Solve allocates nothing unless it fails (for its message).
#pragma once

#include <string>
#include <vector>

#include "engine/equilibrium/EquilibriumProblem.h"

namespace varsel::engine::equilibrium {

class GibbsSolver {
  public:
    explicit GibbsSolver(EquilibriumProblem problem);

    /// Computes the equilibrium at the given conditions. Returns true on success; otherwise
    /// Message() says what failed and Result() holds nothing useful. With `warm` the previous
    /// successful solution is the starting point.
    bool Solve(const EquilibriumConditions& conditions, bool warm = true);

    const EquilibriumResult& Result() const { return result_; }
    const std::string& Message() const { return message_; }
    const EquilibriumProblem& Problem() const { return problem_; }

    /// Forgets the previous solution, so the next Solve starts cold.
    void Forget() { haveWarm_ = false; }

    /// When set, every Newton iteration prints its step and residual on standard error.
    void SetTrace(bool trace) { trace_ = trace; }

  private:
    enum class ColumnKind { Mobile, Water, Extra };

    bool Fail(const std::string& what);
    static std::string Where(const EquilibriumConditions& c);
    bool CheckInput(const EquilibriumConditions& c);
    bool BuildBasis(const EquilibriumConditions& c, bool& retry);
    bool AddColumn(const double* v, int kind, int index, double potential);
    void Coefficients(const double* v, double* coef) const;
    void UpdateParticularSolution();
    bool BuildDualCoordinates(const EquilibriumConditions& c, bool& retry);
    void StartingPoint(const EquilibriumConditions& c, bool fromLambda);
    void UpdateConstants(const EquilibriumConditions& c);
    bool Newton();
    double ObjectiveChange(double step, double& rounding) const;
    void Recover();
    void SetActivityCoefficients(const EquilibriumConditions& c, double ionic);
    bool StateActivity(const EquilibriumConditions& c, double& ionic, double& lnWater) const;
    void ExtraAmounts(const EquilibriumConditions& c);
    bool RemoveNegativePhase(const EquilibriumConditions& c);
    int ChangeActiveSet(const EquilibriumConditions& c);
    void StoreResult(const EquilibriumConditions& c);

    EquilibriumProblem problem_;
    int E_ = 0, ns_ = 0, nx_ = 0, np_ = 0;

    // Orthonormal basis of element space: columns 0 .. r_-1 span the fixed formulas.
    std::vector<double> basis_;  // E x E, column c at basis_[c*E ..]
    std::vector<double> r_;      // upper triangle, capacity cols x cols, column-major
    std::vector<int> colKind_, colIndex_;
    std::vector<double> colPotential_;
    int r_count_ = 0;
    int colCap_ = 0;
    bool waterColumn_ = false;
    int waterCol_ = -1;
    std::vector<double> t_, lambda0_, lambda_;
    double psi_ = 0;
    std::vector<char> active_, blocked_;
    std::vector<char> absent_;  // solutes made of an element the System holds none of
    std::vector<char> extraAbsent_;
    void MarkAbsentSpecies(const EquilibriumConditions& c);

    // Dual coordinates u = (y, ψ), d = E - r + 1; row-space basis P (q vectors in R^d).
    int d_ = 0, q_ = 0;
    std::vector<double> a_;   // ns x (E+1): a_j in u coordinates
    std::vector<double> p_;   // (E+1) x (E+1): row-space basis vectors
    std::vector<double> at_;  // ns x (E+1): a_j in w coordinates
    std::vector<double> beta_, betaT_, u_, w_, dw_, g_, h_, dx_, work_;

    std::vector<double> c_, x_, n_, lnGamma_;
    double lnAw_ = 0;
    double lnKg_ = 0;

    // Warm state.
    bool haveWarm_ = false;
    std::vector<double> warmLambda_;
    std::vector<char> warmActive_;
    double warmPsi_ = 0, warmAw_ = 0, warmIonic_ = 0;

    int iterations_ = 0;
    bool trace_ = false;
    EquilibriumResult result_;
    std::string message_;
};

}  // namespace varsel::engine::equilibrium
