#include "engine/equilibrium/Solver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/equilibrium/ActivityChoice.h"
#include "engine/equilibrium/EngineSession.h"
#include "engine/thermo/Solvent.h"
#include "engine/water/Water.h"
#include "model/RuntimeFailure.h"
#include "services/EngineContract.h"

namespace varsel::engine::equilibrium {

namespace {

bool Usable(float value) {
    return std::isfinite(value) && std::fabs(value) < kUncomputableAbove;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

Solver::Solver(std::shared_ptr<EngineSession> session) : session_(std::move(session)) {}

Solver::~Solver() = default;

void Solver::OpenDatabase(const std::string& name) {
    if (closed_) {
        message_ = "the Solver is closed";
        return;
    }
    try {
        std::int16_t flag = 0;
        session_->Calculator().OpenDatabase(name, flag);
        session_->SettingsChanged();
        database_ = name;
        system_.reset();
        solver_.reset();
        cacheValid_ = false;
        message_.clear();
    } catch (const std::exception& e) {
        message_ = e.what();
    }
}

void Solver::SetOptions(const std::string& options) {
    options_ = options;
    const std::string words = OptionWords(options);
    session_->Calculator().SetModes(OptionFlagWord(options));
    session_->SettingsChanged();
    warmStart_ = !HasOptionSwitch(words, "cold");
    trace_ = HasOptionSwitch(words, "trace");
    cacheValid_ = false;
    message_.clear();
    // /act=NAME chooses the activity model; the last one written counts.
    ActivityKind kind = ActivityKind::Bdot;
    badOption_.clear();
    for (std::size_t at = words.find(" act="); at != std::string::npos;
         at = words.find(" act=", at + 1)) {
        const std::size_t start = at + 5;
        const std::string name = words.substr(start, words.find(' ', start) - start);
        if (const auto known = ActivityKindOf(name)) {
            kind = *known;
        } else {
            badOption_ = "unknown activity model /act=" + name +
                         " in the options; known: " + ActivityKindNames();
        }
    }
    // /ph=molal or /ph=activity: the scale of an imposed pH; the last one written counts.
    phMolal_ = false;
    for (std::size_t at = words.find(" ph="); at != std::string::npos;
         at = words.find(" ph=", at + 1)) {
        const std::size_t start = at + 4;
        const std::string scale = words.substr(start, words.find(' ', start) - start);
        if (scale == "molal" || scale == "activity")
            phMolal_ = scale == "molal";
        else
            badOption_ =
                "unknown pH scale /ph=" + scale + " in the options; known: activity, molal";
    }
    if (!badOption_.empty()) {
        message_ = badOption_;
        return;
    }
    if (kind != activity_) {
        activity_ = kind;
        if (system_) BuildSolver();
    }
}

void Solver::BuildSolver() {
    solver_.reset();
    try {
        EquilibriumProblem problem = ProblemOf(*system_);
        auto activity = MakeActivityModel(activity_, problem, session_->WorkFolder());
        solver_ = std::make_unique<GibbsSolver>(std::move(problem), std::move(activity));
        optionsError_.clear();
    } catch (const std::exception& e) {
        optionsError_ = "System " + systemFile_ + ": " + e.what();
        message_ = optionsError_;
    }
}

void Solver::LoadSystem(const std::string& systemFile) {
    if (closed_) {
        message_ = "the Solver is closed";
        return;
    }
    try {
        if (!badOption_.empty()) {
            message_ = badOption_;
            return;
        }
        if (!session_->HasDatabase()) {
            message_ = "System " + systemFile + " cannot be loaded: no database is open";
            return;
        }
        SystemDefinition definition = FindSystem(systemFile, session_->WorkFolder());
        if (definition.Aqueous.empty()) {
            message_ = "System " + systemFile +
                       " has no aqueous solution: its file needs an [aqueous] section that "
                       "starts with the solvent H2O,aq";
            return;
        }
        thermo::Thermo& calculator = session_->Calculator();
        auto model =
            std::make_unique<SystemModel>(ResolveSystem(definition, *calculator.OpenedDatabase()));
        std::vector<std::int16_t> codes;
        for (const thermo::SpeciesRecord* r : model->Records) {
            const std::int16_t code = calculator.GetTypeCode(calculator.FindSubstance(r->Name));
            if (code < 0) {
                message_ = "System " + systemFile + ": species " + r->Name + " has no type code";
                return;
            }
            codes.push_back(code);
        }
        EquilibriumProblem problem = ProblemOf(*model);
        auto solver = std::make_unique<GibbsSolver>(
            problem, MakeActivityModel(activity_, problem, session_->WorkFolder()));
        const std::size_t species = model->Records.size();
        conditions_ = EquilibriumConditions{};
        conditions_.MobilePotential.assign(model->MobileCount, 0.0);
        conditions_.ExtraPotential.assign(model->ExtraCount, 0.0);
        conditions_.SoluteStandard.assign(model->AqueousCount - 1, 0.0);
        conditions_.Bulk.assign(model->ElementCodes.size(), 0.0);
        standard_.assign(species, 0.0);
        override_.assign(species, 0.0);
        overridden_.assign(species, 0);
        codes_ = std::move(codes);
        system_ = std::move(model);
        ph_ = std::numeric_limits<double>::quiet_NaN();
        solver_ = std::move(solver);
        systemFile_ = systemFile;
        cacheValid_ = false;
        haveResult_ = false;
        pendingError_.clear();
        optionsError_.clear();
        message_ = kSystemAcceptedMessage;
    } catch (const std::exception& e) {
        message_ = e.what();
    }
}

void Solver::SetSwitch(std::int16_t which, std::int16_t value) {
    if (which == kTraceSwitch) trace_ = value != 0;
    if (which == kWarmStartSwitch) warmStart_ = value != 0;
}

void Solver::SetSpeciesValue(std::int16_t position, float value) {
    if (!system_) {
        pendingError_ = "a species value was set before a System was loaded";
        return;
    }
    const int last = system_->SpeciesCount() - system_->MobileCount;
    if (position < 1 || position > last) {
        pendingError_ = "species position " + std::to_string(position) + " is outside 1 .. " +
                        std::to_string(last);
        return;
    }
    const std::size_t s = static_cast<std::size_t>(position + system_->MobileCount - 1);
    if (!std::isfinite(value)) {
        pendingError_ = "the value of species " + system_->Names[s] + " is not a finite number";
        return;
    }
    override_[s] = value;
    overridden_[s] = 1;
}

bool Solver::PrepareConditions(float tempC, float pressureBar) {
    EquilibriumConditions& c = conditions_;
    if (!cacheValid_ || tempC != cacheTempC_ || pressureBar != cachePressure_ ||
        cacheVersion_ != session_->SettingsVersion()) {
        cacheValid_ = false;
        thermo::Thermo& th = session_->Calculator();
        // The temperature in K as the callers hold it (a 32-bit float), so that every
        // potential below is the one they compute.
        const float tempK = static_cast<float>(static_cast<double>(tempC) + 273.15);
        auto where = [&] {
            return " at T = " + Number(tempC) + " C, P = " + Number(pressureBar) + " bar";
        };
        std::int16_t flag = 0;
        float pressure = pressureBar;
        const float density = th.WaterDensity(tempK, pressure, flag);
        if (!Usable(density) || !(density > 0)) {
            message_ = "could not compute the density of water" + where();
            return false;
        }
        const float property = th.WaterProperty(tempK, density);
        const float waterPotential = th.WaterPotential(tempK, pressureBar, density);
        if (!Usable(property) || !Usable(waterPotential)) {
            message_ = "could not compute the properties of water" + where();
            return false;
        }
        const int np = system_->MobileCount;
        const int nx = system_->ExtraCount;
        for (std::size_t s = 0; s < codes_.size(); ++s) {
            const std::int16_t code = codes_[s];
            const std::string& name = system_->Names[s];
            float value = 0;
            flag = 0;
            if (static_cast<int>(s) < np) {
                // The reference potential of a p.m.c., as the callers compute it.
                value = PmcReferencePotential(th, code, PmcAtRunPressure(name, code), tempK,
                                              pressureBar);
            } else if (static_cast<int>(s) < np + nx) {
                value = code >= kFirstGasCode
                            ? th.GasPotential(code, tempK, 1.0f)
                            : th.SubstancePotential(code, tempK, pressureBar, flag);
            } else if (code == kSolventCode) {
                value = waterPotential / 1000.0f;
            } else if (code == kHydrogenIonCode) {
                value = 0;
            } else if (code == kHydroxideCode) {
                const float type2 = th.Type2Potential(tempK, density, waterPotential);
                value = Usable(type2) ? type2 / 1000.0f : type2;
            } else if (code < kFirstEstimatedCode) {
                value = th.AqueousPotential(code, tempK, pressureBar, density, property);
            } else if (code < kFirstCondensedCode) {
                value = th.AqueousPotentialEx(code, tempK, pressureBar, density, property, flag);
            } else {
                value = th.SubstancePotential(code, tempK, pressureBar, flag);
            }
            if (!Usable(value)) {
                message_ = "could not calculate the standard potential of " + name + where();
                // An aqueous species fails first of all where the water is outside the range
                // of the aqueous model: say so rather than leave the species to blame.
                const bool aqueous =
                    static_cast<int>(s) >= np + nx && code >= 2 && code < kFirstCondensedCode;
                const std::string water =
                    aqueous ? th.AqueousWaterProblem(tempK, pressureBar, density) : "";
                if (!water.empty()) message_ += ": " + water;
                return false;
            }
            standard_[s] = value;
        }
        // The water as the activity model takes it, with the dielectric constant it is made
        // for (the models beyond B-dot were fitted with the IAPWS one: with the older one the
        // Pitzer γ± of NaCl come out 3-7 % high at 200-300 °C).
        const double t = tempK;
        const double rho = static_cast<double>(density) * 1000.0;
        double epsilon = 0;
        try {
            epsilon = solver_->Activity().Dielectric() == activity::DielectricChoice::Iapws
                          ? water::DielectricConstantFernandez(t, rho)
                          : thermo::DielectricConstant(t, rho, th.CurrentModes());
        } catch (const std::exception& e) {
            message_ =
                "could not compute the dielectric constant of water" + where() + ": " + e.what();
            return false;
        }
        c.Water = {t, tempC, pressureBar, rho, epsilon};
        rt_ = static_cast<double>(tempK) * kInterfaceGasConstant;
        cacheTempC_ = tempC;
        cachePressure_ = pressureBar;
        cacheVersion_ = session_->SettingsVersion();
        cacheValid_ = true;
    }
    c.IgnoreLimits = session_->Calculator().IgnoresLimits();
    // Standard potentials as μ°/RT, with the caller's species values in place.
    const int np = system_->MobileCount;
    const int nx = system_->ExtraCount;
    auto potential = [&](std::size_t s) {
        return (overridden_[s] ? override_[s] : standard_[s]) / rt_;
    };
    for (int m = 0; m < nx; ++m) {
        const std::size_t s = static_cast<std::size_t>(np + m);
        c.ExtraPotential[m] = potential(s);
        // A gas forms as the pure ideal gas at the pressure of the run.
        if (codes_[s] >= kFirstGasCode)
            c.ExtraPotential[m] += std::log(static_cast<double>(pressureBar));
    }
    c.SolventStandard = potential(static_cast<std::size_t>(np + nx));
    for (std::size_t j = 0; j < c.SoluteStandard.size(); ++j)
        c.SoluteStandard[j] = potential(static_cast<std::size_t>(np + nx + 1) + j);
    return true;
}

void Solver::Reject(Array1<double>& amounts, Array1<double>& lnActivities, const std::string& why) {
    message_ = why;
    haveResult_ = false;
    for (int i = 0; i <= amounts.Upper(); ++i)
        amounts[i] = 0;
    for (int i = 0; i <= lnActivities.Upper(); ++i)
        lnActivities[i] = 0;
}

void Solver::Calculate(float tempC, float pressureBar, const Array1<double>& pmcActivities,
                       const Array1<double>& composition, Array1<double>& amounts,
                       Array1<double>& lnActivities, std::int16_t& scratch) {
    scratch = 0;
    try {
        if (closed_) return Reject(amounts, lnActivities, "the Solver is closed");
        if (!badOption_.empty()) return Reject(amounts, lnActivities, badOption_);
        if (!optionsError_.empty()) return Reject(amounts, lnActivities, optionsError_);
        if (!solver_) return Reject(amounts, lnActivities, "no System is loaded");
        if (!pendingError_.empty()) {
            const std::string why = pendingError_;
            pendingError_.clear();
            return Reject(amounts, lnActivities, why);
        }
        const SystemModel& sys = *system_;
        const int np = sys.MobileCount;
        const int nx = sys.ExtraCount;
        const int elements = static_cast<int>(sys.ElementCodes.size());
        const int results = sys.SpeciesCount() - np;
        if (pmcActivities.Upper() < np || composition.Upper() < elements ||
            amounts.Upper() < results || lnActivities.Upper() < results)
            return Reject(amounts, lnActivities,
                          "the arrays handed to Calculate are smaller than the System needs");
        if (!std::isfinite(tempC) || !std::isfinite(pressureBar) || !(pressureBar > 0))
            return Reject(amounts, lnActivities,
                          "no equilibrium at T = " + Number(tempC) + " C, P = " +
                              Number(pressureBar) + " bar: the conditions are not valid");
        if (!PrepareConditions(tempC, pressureBar)) {
            const std::string why = message_;
            return Reject(amounts, lnActivities, why);
        }
        EquilibriumConditions& c = conditions_;
        for (int k = 0; k < np; ++k) {
            const double a = pmcActivities[k + 1];
            if (!(a > 0) || !std::isfinite(a))
                return Reject(amounts, lnActivities,
                              "the activity of p.m.c. " + sys.Names[k] + " is " + Number(a) +
                                  "; it must be a positive number");
            c.MobilePotential[k] = standard_[k] / rt_ + std::log(a);
        }
        c.SolventMoles = composition[0];
        c.Ph = ph_;
        c.PhMolal = phMolal_;
        for (int e = 0; e < elements; ++e)
            c.Bulk[e] = composition[e + 1];

        solver_->SetTrace(trace_);
        if (!solver_->Solve(c, warmStart_)) {
            const std::string why = solver_->Message();
            return Reject(amounts, lnActivities, why);
        }
        const EquilibriumResult& r = solver_->Result();
        amounts[0] = 0;
        lnActivities[0] = 0;
        for (int m = 0; m < nx; ++m) {
            amounts[m + 1] = r.ExtraMoles[m];
            lnActivities[m + 1] = r.ExtraLnActivity[m];
        }
        amounts[nx + 1] = c.SolventMoles;
        lnActivities[nx + 1] = r.LnWaterActivity;
        for (std::size_t j = 0; j < r.SoluteMoles.size(); ++j) {
            amounts[nx + 2 + static_cast<int>(j)] = r.SoluteMoles[j];
            lnActivities[nx + 2 + static_cast<int>(j)] = r.SoluteLnActivity[j] - kLnWaterMolesPerKg;
        }
        haveResult_ = true;
        message_ = kCalculatedMessage;
    } catch (const std::exception& e) {
        Reject(amounts, lnActivities, e.what());
    }
}

void Solver::Close() {
    closed_ = true;
    solver_.reset();
    system_.reset();
    haveResult_ = false;
    message_.clear();
}

double Solver::GetTitrantAmount() {
    const EquilibriumResult* r = LastResult();
    return r ? r->Titrant : 0.0;
}

const EquilibriumResult* Solver::LastResult() const {
    return haveResult_ && solver_ ? &solver_->Result() : nullptr;
}

double Solver::LastPh() const {
    const EquilibriumResult* r = LastResult();
    if (!r) return 0;
    const auto& solutes = solver_->Problem().Solutes;
    for (std::size_t j = 0; j < solutes.size(); ++j) {
        if (solutes[j].Name == "H+") return -r->SoluteLnActivity[j] / std::log(10.0);
    }
    return 0;
}

}  // namespace varsel::engine::equilibrium
