#include "engine/equilibrium/GibbsSolver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "engine/equilibrium/ActivityChoice.h"
#include "engine/equilibrium/VectorMath.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::equilibrium {

namespace {

constexpr int kMaxActivityLoops = 200;        // activity-coefficient loops of one active set
constexpr double kActivityConverged = 1e-12;  // change of ln γ, ln a_w that counts as converged
constexpr int kMaxTitrantChanges = 3;         // changes between acid and base in one calculation
constexpr double kLn10 = 2.302585092994046;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

int Count(std::size_t n) {
    return static_cast<int>(n);
}

}  // namespace

GibbsSolver::GibbsSolver(EquilibriumProblem problem,
                         std::unique_ptr<activity::ActivityModel> activity)
    : problem_(std::move(problem)),
      activity_(activity ? std::move(activity)
                         : MakeActivityModel(ActivityKind::Bdot, problem_, {})),
      elements_(problem_.ElementCount()),
      solutes_(Count(problem_.Solutes.size())),
      extras_(Count(problem_.Extras.size())),
      mobiles_(Count(problem_.Mobiles.size())),
      basis_(elements_),
      dual_(elements_, solutes_),
      phases_(elements_, extras_),
      lambda_(elements_, 0.0),
      lnGamma_(solutes_, 0.0),
      lnGammaFound_(solutes_, 0.0),
      extrapolation_(solutes_),
      extrapolate_(activity_->FollowsComposition()),
      molality_(solutes_, 0.0),
      bulk_(elements_, 0.0),
      combination_(elements_, 0.0),
      warmLambda_(elements_, 0.0),
      warmActive_(extras_, 0),
      warmMolality_(solutes_, 0.0) {
    auto check = [&](const ElementVector& v, const std::string& name) {
        if (Count(v.size()) != elements_)
            throw RuntimeFailure(kInvalidCall, "species " + name + " has " +
                                                   std::to_string(v.size()) + " element amounts, " +
                                                   "the System has " + std::to_string(elements_));
    };
    for (const Mobile& m : problem_.Mobiles)
        check(m.Elements, m.Name);
    for (const Extra& x : problem_.Extras)
        check(x.Elements, x.Name);
    for (const Solute& s : problem_.Solutes)
        check(s.Elements, s.Name);
    check(problem_.Solvent, "H2O");

    result_.SoluteMoles.assign(solutes_, 0.0);
    result_.SoluteLnActivity.assign(solutes_, 0.0);
    result_.ExtraMoles.assign(extras_, 0.0);
    result_.ExtraLnActivity.assign(extras_, 0.0);
    result_.ElementPotential.assign(elements_, 0.0);
    message_.reserve(16);
}

bool GibbsSolver::Fail(const std::string& what) {
    message_ = what;
    return false;
}

std::string GibbsSolver::Where(const EquilibriumConditions& c) {
    return " at T = " + Number(c.Water.TemperatureC) + " C, P = " + Number(c.Water.Pressure) +
           " bar with the given composition";
}

bool GibbsSolver::CheckInput(const EquilibriumConditions& c) {
    if (Count(c.MobilePotential.size()) != mobiles_ || Count(c.ExtraPotential.size()) != extras_ ||
        Count(c.SoluteStandard.size()) != solutes_ || Count(c.Bulk.size()) != elements_)
        return Fail("the conditions do not match the System (wrong number of values)");
    if (!(c.SolventMoles > 0) || !std::isfinite(c.SolventMoles))
        return Fail("impossible composition: the amount of solvent H2O is " +
                    Number(c.SolventMoles) + " mol; it must be positive");
    for (int e = 0; e < elements_; ++e) {
        if (!std::isfinite(c.Bulk[e]) || c.Bulk[e] < 0)
            return Fail("impossible composition: the amount of " + problem_.ElementSymbols[e] +
                        " is " + Number(c.Bulk[e]) + " mol");
    }
    for (int k = 0; k < mobiles_; ++k) {
        if (!std::isfinite(c.MobilePotential[k]))
            return Fail("the potential of p.m.c. " + problem_.Mobiles[k].Name +
                        " is not a finite number" + Where(c));
    }
    for (int m = 0; m < extras_; ++m) {
        if (!std::isfinite(c.ExtraPotential[m]))
            return Fail("the standard potential of " + problem_.Extras[m].Name +
                        " could not be computed" + Where(c));
    }
    for (int j = 0; j < solutes_; ++j) {
        if (!std::isfinite(c.SoluteStandard[j]))
            return Fail("the standard potential of " + problem_.Solutes[j].Name +
                        " could not be computed" + Where(c));
    }
    if (!std::isnan(c.Ph)) {
        if (!std::isfinite(c.Ph))
            return Fail("the imposed pH " + Number(c.Ph) + " is not a finite number");
        if (problem_.Titrants.HydrogenIon < 0 ||
            (problem_.Titrants.Acid.empty() && problem_.Titrants.Base.empty()))
            return Fail(
                "a pH cannot be imposed: the System names no titrant (its [titrants] section "
                "names the acid and the base that adjust the pH)");
    }
    const activity::WaterState& w = c.Water;
    if (!std::isfinite(c.SolventStandard) || !(w.Temperature > 0) || !(w.Density > 0) ||
        !(w.Epsilon >= 1) || !std::isfinite(w.Temperature + w.Density + w.Epsilon))
        return Fail("the properties of water could not be computed" + Where(c));
    return true;
}

const ElementVector& GibbsSolver::Formula(const FixedColumn& column) const {
    switch (column.Kind) {
        case ColumnKind::Mobile:
            return problem_.Mobiles[column.Index].Elements;
        case ColumnKind::Extra:
            return problem_.Extras[column.Index].Elements;
        case ColumnKind::Water:
            break;
    }
    return problem_.Solvent;
}

bool GibbsSolver::BuildBasis(const EquilibriumConditions& c) {
    basis_.Clear();
    for (int k = 0; k < mobiles_; ++k) {
        const Mobile& m = problem_.Mobiles[k];
        if (basis_.AddFixed(m.Elements, {ColumnKind::Mobile, k, c.MobilePotential[k]})) continue;
        // A p.m.c. whose formula combines the others: its potential must agree with theirs.
        basis_.Coefficients(m.Elements, combination_);
        double implied = 0;
        for (int i = 0; i < basis_.FixedCount(); ++i)
            implied += combination_[i] * basis_.Column(i).Potential;
        if (std::fabs(implied - c.MobilePotential[k]) > 1e-6 * (1.0 + std::fabs(implied)))
            return Fail("the formula of p.m.c. " + m.Name +
                        " combines those of the other p.m.c., and its potential disagrees with "
                        "theirs by " +
                        Number(c.MobilePotential[k] - implied) + " RT");
    }
    basis_.AddFixed(problem_.Solvent, {ColumnKind::Water, 0, c.SolventStandard + lnAw_});
    for (int m = 0; m < extras_; ++m) {
        if (!phases_.IsActive(m)) continue;
        if (!basis_.AddFixed(problem_.Extras[m].Elements,
                             {ColumnKind::Extra, m, c.ExtraPotential[m]}))
            phases_.Deactivate(m);
    }
    if (!basis_.Complete()) return Fail("internal error: the element basis is incomplete");
    return true;
}

void GibbsSolver::MarkAbsentSpecies() {
    // An element of zero bulk amount that no fixed formula contains is conserved at zero; as
    // stoichiometries are not negative, every species that contains it is absent. Its
    // potential is then undefined (minus infinity), so these species leave the problem.
    dual_.ClearAbsent();
    phases_.ClearAbsent();
    for (int e = 0; e < elements_; ++e) {
        if (bulk_[e] != 0) continue;
        bool fixed = false;
        for (int i = 0; i < basis_.FixedCount() && !fixed; ++i)
            fixed = Formula(basis_.Column(i))[e] != 0;
        if (fixed) continue;
        for (int j = 0; j < solutes_; ++j) {
            if (problem_.Solutes[j].Elements[e] != 0) dual_.SetAbsent(j);
        }
        for (int m = 0; m < extras_; ++m) {
            if (problem_.Extras[m].Elements[e] != 0) phases_.SetAbsent(m);
        }
    }
}

bool GibbsSolver::RefuseComposition(const EquilibriumConditions& c) {
    const std::span<const double> direction = dual_.Offending();
    double largest = 0;
    for (int e = 0; e < elements_; ++e)
        largest = std::max(largest, std::fabs(direction[e]));
    std::string elements;
    for (int e = 0; e < elements_; ++e) {
        if (std::fabs(direction[e]) > 0.05 * largest)
            elements += (elements.empty() ? "" : ", ") + problem_.ElementSymbols[e];
    }
    return Fail(
        "impossible composition: the species of the System cannot hold the given "
        "amounts of " +
        elements + " at T = " + Number(c.Water.TemperatureC) +
        " C, P = " + Number(c.Water.Pressure) + " bar");
}

void GibbsSolver::SetActivityCoefficients(const EquilibriumConditions& c, double ionicStrength) {
    activity_->Evaluate({c.Water, molality_, ionicStrength}, lnGamma_, nullptr);
}

void GibbsSolver::UpdateConstants(const EquilibriumConditions& c) {
    dual_.SetConstants(problem_, basis_.ParticularPotentials(), c.SoluteStandard, lnGamma_, lnKg_);
    if (side_ != 0) {
        // The moles of H+ that give the pH: ln n = ln kg + ln m, ln m = −pH ln10 (− ln γ on the
        // activity scale).
        const int h = problem_.Titrants.HydrogenIon;
        dual_.SetImposedLnAmount(lnKg_ - c.Ph * kLn10 - (c.PhMolal ? 0.0 : lnGamma_[h]));
    }
}

const ElementVector& GibbsSolver::TitrantFormula(int side) const {
    return side > 0 ? problem_.Titrants.Acid : problem_.Titrants.Base;
}

void GibbsSolver::SetTitrant(const EquilibriumConditions& c, int side, double amount) {
    side_ = side;
    static const ElementVector kNone;
    dual_.SetTitrant(side != 0 ? TitrantFormula(side) : kNone, problem_.Titrants.HydrogenIon,
                     amount);
    UpdateBulk(c);
}

void GibbsSolver::UpdateBulk(const EquilibriumConditions& c) {
    std::copy(c.Bulk.begin(), c.Bulk.end(), bulk_.begin());
    if (side_ == 0) return;
    const double amount = dual_.TitrantAmount();
    const ElementVector& formula = TitrantFormula(side_);
    for (int e = 0; e < elements_; ++e)
        bulk_[e] += amount * formula[e];
}

double GibbsSolver::TitrantGuess(const EquilibriumConditions& c, double molality) const {
    // Moles of a strong acid or base that shift the hydrogen ion by about `molality`.
    const double kg = c.SolventMoles / kWaterMolesPerKg;
    return kg * std::clamp(molality, 1e-12, 1.0);
}

double GibbsSolver::TrueIonicStrength() {
    const double kg = std::exp(lnKg_);
    const std::span<const double> n = dual_.Amounts();
    double ionic = 0;
    for (int j = 0; j < solutes_; ++j) {
        const double z = problem_.Solutes[j].Charge;
        const double m = n[j] / kg;
        molality_[j] = m;
        if (z != 0) ionic += 0.5 * z * z * m;
    }
    return ionic;
}

GibbsSolver::ActivityOutcome GibbsSolver::SettleActivity(const EquilibriumConditions& c,
                                                         bool watchPhases,
                                                         IonicStrengthSecant& ionic) {
    extrapolation_.Start();
    for (int loop = 0; loop < kMaxActivityLoops; ++loop) {
        if (!dual_.Minimise()) {
            switch (dual_.Limit()) {
                case DualNewton::TitrantLimit::Vanished:
                    return ActivityOutcome::TitrantVanished;
                case DualNewton::TitrantLimit::Excessive:
                    return ActivityOutcome::TitrantExcessive;
                case DualNewton::TitrantLimit::None:
                    break;
            }
            return ActivityOutcome::NoConvergence;
        }
        UpdateBulk(c);
        // A present phase whose amount has turned negative leaves at once: with a wrong set
        // of phases the solution can be far from anything the activity model can follow.
        if (watchPhases) {
            phases_.UpdateAmounts(problem_, basis_, bulk_, dual_.Amounts());
            if (phases_.RemoveNegative(problem_, bulk_, dual_.Amounts()))
                return ActivityOutcome::PhaseRemoved;
        }
        // The solution as computed: its ionic strength, and its water activity where the
        // solvent's potential is not imposed by the p.m.c.
        // The loop moves the ionic strength the model's coefficients depend on: with the
        // coefficients taken at one ionic strength, the solution's own follows from them. For
        // a model of the stoichiometric ionic strength, the true one would make that a
        // function of the speciation as well, which shifts under the loop as the ion pairs
        // settle and leaves its bracket behind.
        const double trueIonic = TrueIonicStrength();
        const activity::SolutionState found{c.Water, molality_,
                                            activity_->LoopIonicStrength(molality_, trueIonic)};
        if (!std::isfinite(found.IonicStrength)) return ActivityOutcome::NoConvergence;
        double lnWater = lnAw_;
        activity_->Evaluate(found, lnGammaFound_, basis_.WaterColumn() >= 0 ? &lnWater : nullptr);
        if (!std::isfinite(lnWater)) return ActivityOutcome::NoConvergence;
        result_.IonicStrength = trueIonic;
        double change = std::fabs(lnWater - lnAw_);
        for (int j = 0; j < solutes_; ++j)
            change = std::max(change, std::fabs(lnGammaFound_[j] - lnGamma_[j]));
        if (trace_)
            std::fprintf(stderr, "activity loop %d: change %.3g, ionic strength %.6g\n", loop,
                         change, found.IonicStrength);
        lnAw_ = lnWater;
        if (change < kActivityConverged) return ActivityOutcome::Settled;
        if (extrapolate_) extrapolation_.Observe(lnGamma_, lnGammaFound_);
        ionic.Advance(found.IonicStrength);
        SetActivityCoefficients(c, ionic.Assumed());
        if (extrapolate_) extrapolation_.Apply(lnGammaFound_, lnGamma_);
        if (basis_.WaterColumn() >= 0) {
            basis_.SetPotential(basis_.WaterColumn(), c.SolventStandard + lnAw_);
            basis_.UpdateParticularSolution();
        }
        UpdateConstants(c);
    }
    return ActivityOutcome::Unsettled;
}

void GibbsSolver::StoreResult(const EquilibriumConditions& c) {
    const std::span<const double> lnMoles = dual_.LnAmounts();
    for (int j = 0; j < solutes_; ++j) {
        const Solute& s = problem_.Solutes[j];
        if (dual_.IsAbsent(j)) {
            result_.SoluteMoles[j] = 0;
            result_.SoluteLnActivity[j] = kAbsentLnActivity;
            continue;
        }
        result_.SoluteMoles[j] = std::exp(lnMoles[j]);
        result_.SoluteLnActivity[j] =
            Dot(s.Elements, lambda_) + s.Charge * psi_ - c.SoluteStandard[j];
    }
    for (int m = 0; m < extras_; ++m) {
        if (phases_.IsActive(m)) {
            result_.ExtraMoles[m] = std::max(phases_.Amounts()[m], 0.0);
            result_.ExtraLnActivity[m] = 0;
        } else {
            result_.ExtraMoles[m] = 0;
            result_.ExtraLnActivity[m] =
                Dot(problem_.Extras[m].Elements, lambda_) - c.ExtraPotential[m];
            if (phases_.IsAbsent(m)) result_.ExtraLnActivity[m] = kAbsentLnActivity;
        }
    }
    result_.ElementPotential = lambda_;
    result_.ChargePotential = psi_;
    result_.LnWaterActivity = Dot(problem_.Solvent, lambda_) - c.SolventStandard;
    result_.Iterations = dual_.Iterations();
    result_.Titrant = side_ * dual_.TitrantAmount();
}

std::string GibbsSolver::PhOutOfReach(const EquilibriumConditions& c) const {
    const PhTitrants& t = problem_.Titrants;
    const std::string& name = side_ > 0 ? t.AcidName : t.BaseName;
    std::string why = name + " does not reach it with up to 1000 mol";
    if (dual_.Limit() == DualNewton::TitrantLimit::Vanished) {
        // The titrant worked against the pH: the solution without it lies beyond.
        if (TitrantFormula(-side_).empty())
            why = side_ > 0 ? "the solution without titrant is more acidic, and the System names "
                              "no base to raise its pH"
                            : "the solution without titrant is more basic, and the System names "
                              "no acid to lower its pH";
        else
            why = "neither " + t.AcidName + " nor " + t.BaseName + " reaches it";
    }
    return "the pH " + Number(c.Ph) + " cannot be imposed" + Where(c) + ": " + why;
}

bool GibbsSolver::Solve(const EquilibriumConditions& c, bool warm) {
    dual_.ResetIterations();
    if (!CheckInput(c)) return false;
    if (c.IgnoreLimits != ignoreLimits_) {
        activity_->SetIgnoreLimits(c.IgnoreLimits);
        ignoreLimits_ = c.IgnoreLimits;
    }
    lnKg_ = std::log(c.SolventMoles / kWaterMolesPerKg);
    const bool useWarm = warm && haveWarm_;
    double ionic = 0;  // the ionic strength the activity coefficients are computed at
    if (useWarm) {
        phases_.Restore(warmActive_);
        ionic = warmIonic_;
        lnAw_ = warmAw_;
        lambda_ = warmLambda_;
        psi_ = warmPsi_;
        molality_ = warmMolality_;
    } else {
        phases_.Reset();
        extrapolation_.Forget();
        lnAw_ = 0;
    }
    phases_.ClearBlocked();
    // The titrant of an imposed pH: the one of the previous solution, or the acid below pH 7
    // (the base above) in the amount of a strong one.
    if (std::isnan(c.Ph)) {
        SetTitrant(c, 0, 0);
    } else if (useWarm && warmSide_ != 0) {
        SetTitrant(c, warmSide_, warmTitrant_);
    } else {
        const int side =
            problem_.Titrants.Base.empty() || (c.Ph < 7 && !problem_.Titrants.Acid.empty()) ? 1
                                                                                            : -1;
        SetTitrant(c, side, TitrantGuess(c, std::pow(10.0, side > 0 ? -c.Ph : c.Ph - 14)));
    }
    int titrantChanges = 0;
    bool haveLambda = useWarm;
    const int maxPasses = 3 * extras_ + 8 + (side_ != 0 ? kMaxTitrantChanges : 0);
    for (int pass = 0; pass < maxPasses; ++pass) {
        if (!BuildBasis(c)) return false;
        basis_.UpdateParticularSolution();
        MarkAbsentSpecies();
        if (!dual_.Build(problem_, basis_, c.Bulk)) {
            // A pure phase that holds the offending element combination may take it up.
            if (phases_.AddPhaseHolding(problem_, dual_.Offending())) continue;
            return RefuseComposition(c);
        }
        SetActivityCoefficients(c, ionic);
        UpdateConstants(c);
        if (haveLambda)
            dual_.StartFrom(basis_, lambda_, psi_);
        else
            dual_.StartCold(bulk_);
        IonicStrengthSecant secant(ionic);
        const ActivityOutcome outcome = SettleActivity(c, phases_.ActiveCount() > 0, secant);
        ionic = secant.Assumed();
        switch (outcome) {
            case ActivityOutcome::NoConvergence:
                return Fail("no convergence" + Where(c));
            case ActivityOutcome::Unsettled:
                return Fail("no convergence of the activity coefficients" + Where(c));
            case ActivityOutcome::PhaseRemoved:
                dual_.Recover(basis_, lambda_, psi_);
                haveLambda = true;
                continue;
            case ActivityOutcome::TitrantVanished:
                // The imposed pH lies beyond the solution without this titrant: the other one
                // may reach it.
                if (TitrantFormula(-side_).empty() || ++titrantChanges > kMaxTitrantChanges)
                    return Fail(PhOutOfReach(c));
                // From the start that knows nothing of the other titrant's elements, which
                // the solution may not have held so far.
                haveLambda = false;
                {
                    const double kg = c.SolventMoles / kWaterMolesPerKg;
                    const double hydrogen = dual_.Amounts()[problem_.Titrants.HydrogenIon] / kg;
                    SetTitrant(c, -side_,
                               TitrantGuess(c, std::fabs(std::pow(10.0, -c.Ph) - hydrogen)));
                }
                continue;
            case ActivityOutcome::TitrantExcessive:
                return Fail(PhOutOfReach(c));
            case ActivityOutcome::Settled:
                break;
        }
        dual_.Recover(basis_, lambda_, psi_);
        haveLambda = true;
        phases_.UpdateAmounts(problem_, basis_, bulk_, dual_.Amounts());
        if (phases_.Change(problem_, basis_, lambda_, c.ExtraPotential, bulk_, dual_.Amounts()) ==
            ActiveSetChange::Changed)
            continue;
        StoreResult(c);
        warmLambda_ = lambda_;
        warmPsi_ = psi_;
        warmIonic_ = ionic;
        warmAw_ = lnAw_;
        warmActive_ = phases_.Present();
        warmMolality_ = molality_;
        warmSide_ = side_;
        warmTitrant_ = dual_.TitrantAmount();
        haveWarm_ = true;
        message_ = "OK";
        return true;
    }
    return Fail("the set of stable phases did not settle" + Where(c));
}

}  // namespace varsel::engine::equilibrium
