// Chemical equilibrium of an aqueous solution open to perfectly mobile components, by
// minimisation of the Gibbs energy in its dual form: the element-potential method of White,
// Johnson & Dantzig (1958, J. Chem. Phys. 28, 751-755), as set out by Smith & Missen (1982,
// Chemical Reaction Equilibrium Analysis: Theory and Algorithms, Wiley) and Reynolds (1986,
// The element potential method for chemical equilibrium analysis, Stanford University).
//
// At equilibrium every species' chemical potential is a combination of element potentials λ_e
// and a charge potential ψ: μ_i = Σ_e A_ei λ_e + z_i ψ. The imposed potentials of the
// p.m.c., of the solvent (which exchanges water with the one-kilogram pool at its own
// chemical potential, μ°_w + RT ln a_w) and of every pure phase present fix λ on the span of
// their formulas (ElementBasis.h); on the complement of that span the element amounts of the
// solution are conserved, and the solution is electrically neutral. The remaining unknowns
// minimise a convex dual function by a damped Newton iteration (DualNewton.h).
//
// Three loops, each bounded, wrap that minimisation: the active set of pure phases
// (ActivePhases.h), the activity coefficients, which follow the solution through its ionic
// strength (IonicStrengthSecant.h) and are computed by the activity model
// (engine/activity/ActivityModel.h; the B-dot equation unless another is given), with the
// water activity, and the Newton iteration itself. Where the coefficients depend on the
// composition beyond the ionic strength, the loop extrapolates them (ActivityExtrapolation.h).
// The last solution is the starting point of the next call unless a cold start is asked for.
// All work storage is sized when the solver is built; Solve allocates nothing unless it fails
// (for its message).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/activity/ActivityModel.h"
#include "engine/equilibrium/ActivePhases.h"
#include "engine/equilibrium/ActivityExtrapolation.h"
#include "engine/equilibrium/DualNewton.h"
#include "engine/equilibrium/ElementBasis.h"
#include "engine/equilibrium/EquilibriumProblem.h"
#include "engine/equilibrium/IonicStrengthSecant.h"

namespace varsel::engine::equilibrium {

class GibbsSolver {
  public:
    /// A solver for `problem` with the given activity model of the solution (the B-dot
    /// equation when none is given).
    explicit GibbsSolver(EquilibriumProblem problem,
                         std::unique_ptr<activity::ActivityModel> activity = nullptr);

    /// Computes the equilibrium at the given conditions. Returns true on success; otherwise
    /// Message() says what failed and Result() holds nothing useful. With `warm` the previous
    /// successful solution is the starting point.
    bool Solve(const EquilibriumConditions& conditions, bool warm = true);

    const EquilibriumResult& Result() const { return result_; }
    const std::string& Message() const { return message_; }
    const EquilibriumProblem& Problem() const { return problem_; }
    /// The activity model of the solution.
    const activity::ActivityModel& Activity() const { return *activity_; }

    /// Forgets the previous solution, so the next Solve starts cold.
    void Forget() { haveWarm_ = false; }

    /// When set, every Newton iteration prints its step and residual on standard error.
    void SetTrace(bool trace) {
        trace_ = trace;
        dual_.SetTrace(trace);
    }

  private:
    /// How the activity loop of one active set ended.
    enum class ActivityOutcome {
        Settled,
        PhaseRemoved,
        NoConvergence,
        Unsettled,
        TitrantVanished,
        TitrantExcessive
    };

    bool Fail(const std::string& what);
    static std::string Where(const EquilibriumConditions& c);
    bool CheckInput(const EquilibriumConditions& c);
    bool BuildBasis(const EquilibriumConditions& c);
    void MarkAbsentSpecies();
    bool RefuseComposition(const EquilibriumConditions& c);
    const ElementVector& Formula(const FixedColumn& column) const;
    void SetActivityCoefficients(const EquilibriumConditions& c, double ionicStrength);
    void UpdateConstants(const EquilibriumConditions& c);
    double TrueIonicStrength();
    ActivityOutcome SettleActivity(const EquilibriumConditions& c, bool watchPhases,
                                   IonicStrengthSecant& ionic);
    void StoreResult(const EquilibriumConditions& c);
    // The titrant of an imposed pH: +1 the acid, −1 the base, 0 none.
    const ElementVector& TitrantFormula(int side) const;
    void SetTitrant(const EquilibriumConditions& c, int side, double amount);
    void UpdateBulk(const EquilibriumConditions& c);
    double TitrantGuess(const EquilibriumConditions& c, double molality) const;
    std::string PhOutOfReach(const EquilibriumConditions& c) const;

    EquilibriumProblem problem_;
    std::unique_ptr<activity::ActivityModel> activity_;
    bool ignoreLimits_ = false;  // as last handed to the activity model
    int elements_ = 0, solutes_ = 0, extras_ = 0, mobiles_ = 0;

    ElementBasis basis_;
    DualNewton dual_;
    ActivePhases phases_;

    std::vector<double> lambda_;        // element potentials λ/RT
    double psi_ = 0;                    // charge potential ψ/RT
    std::vector<double> lnGamma_;       // ln γ the dual constants are computed with
    std::vector<double> lnGammaFound_;  // ln γ at the solution's own ionic strength
    ActivityExtrapolation extrapolation_;
    bool extrapolate_ = false;         // whether the model's coefficients follow more than I
    std::vector<double> molality_;     // of the last Newton solution, mol/kg
    std::vector<double> bulk_;         // moles of each element with the titrant added
    int side_ = 0;                     // the titrant added: +1 the acid, −1 the base, 0 none
    std::vector<double> combination_;  // a dependent p.m.c. formula in the fixed columns
    double lnAw_ = 0;                  // ln a_w the solvent's potential is computed with
    double lnKg_ = 0;                  // ln of the kilograms of solvent

    // Warm state: the previous successful solution.
    bool haveWarm_ = false;
    std::vector<double> warmLambda_;
    std::vector<char> warmActive_;
    std::vector<double> warmMolality_;  // the activity models of the composition start from it
    double warmPsi_ = 0, warmAw_ = 0, warmIonic_ = 0;
    int warmSide_ = 0;
    double warmTitrant_ = 0;

    bool trace_ = false;
    EquilibriumResult result_;
    std::string message_;
};

}  // namespace varsel::engine::equilibrium
