#include "varsel/Properties.h"

#include <cmath>
#include <utility>

#include "engine/thermo/Database.h"
#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Equilibrium.h"
#include "engine/tools/thermo/Potentials.h"
#include "engine/tools/thermo/Reaction.h"
#include "engine/tools/thermo/WaterProperties.h"
#include "model/RuntimeFailure.h"

namespace varsel {

using engine::tools::Conditions;
using engine::tools::kExitFailure;
using engine::tools::kExitUsage;
using engine::tools::PotentialCalculator;
using engine::tools::ThermoSettings;
using engine::tools::ToolError;

struct PropertyCalculator::State {
    std::string Database;
    ThermoSettings Settings;
    std::unique_ptr<PotentialCalculator> Potentials;
    // The conditions the potentials were last asked at; the water state is kept for them.
    double TemperatureC = 25.0;
    Pressure LastPressure;
};

namespace {

// Runs a calculation, turning the engine's failures into PropertyError with their words.
template <typename Calculation>
auto Guarded(Calculation calculation) {
    try {
        return calculation();
    } catch (const ToolError& e) {
        throw PropertyError(e.ExitCode() == kExitUsage ? PropertyError::Kind::Argument
                                                       : PropertyError::Kind::Refused,
                            e.what());
    } catch (const engine::thermo::DatabaseError& e) {
        throw PropertyError(PropertyError::Kind::Database, e.what());
    } catch (const RuntimeFailure& e) {
        throw PropertyError(PropertyError::Kind::Refused, e.what());
    }
}

Conditions At(double temperatureC, Pressure pressure, const ThermoSettings& settings) {
    return engine::tools::CheckConditions(
        temperatureC, pressure.Saturation ? std::nullopt : std::optional(pressure.Bar), settings);
}

}  // namespace

PropertyCalculator::PropertyCalculator(const std::string& database,
                                       const PropertySettings& settings)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.Database = database;
    s.Settings.WorkFolder = settings.WorkFolder;
    s.Settings.IgnoreLimits = settings.IgnoreLimits;
    s.Settings.Modes.ConstantOmega = settings.ConstantOmega;
    s.Settings.Modes.MarshallFranckKw = settings.MarshallFranckKw;
    s.Settings.Modes.FernandezDielectric = settings.FernandezDielectric;
    s.Settings.LiftLimits = settings.LiftLimits;
    try {
        s.Potentials = std::make_unique<PotentialCalculator>(
            database, At(s.TemperatureC, s.LastPressure, s.Settings), s.Settings);
    } catch (const std::runtime_error& e) {
        // Thermo reports a database it cannot open as a run-time failure.
        throw PropertyError(PropertyError::Kind::Database, e.what());
    }
}

PropertyCalculator::PropertyCalculator(PropertyCalculator&&) noexcept = default;
PropertyCalculator& PropertyCalculator::operator=(PropertyCalculator&&) noexcept = default;
PropertyCalculator::~PropertyCalculator() = default;

std::string PropertyCalculator::DatabaseFile() const {
    return state_->Potentials->Database().Path().string();
}

StandardPotential PropertyCalculator::Potential(const std::string& name, double temperatureC,
                                                Pressure pressure) {
    State& s = *state_;
    return Guarded([&] {
        const bool moved = temperatureC != s.TemperatureC ||
                           pressure.Saturation != s.LastPressure.Saturation ||
                           pressure.Bar != s.LastPressure.Bar;
        if (moved) {
            s.Potentials->At(At(temperatureC, pressure, s.Settings));
            s.TemperatureC = temperatureC;
            s.LastPressure = pressure;
        }
        const engine::tools::Potential p = s.Potentials->Of(name);
        if (!p.Record)
            throw ToolError(kExitFailure, "no substance \"" + name + "\" in " + DatabaseFile());
        if (!p.Gibbs) throw ToolError(kExitFailure, "no potential for " + name + ": " + p.Problem);
        return StandardPotential{p.Record->Name, p.Code, *p.Gibbs / 1000.0, p.Model};
    });
}

WaterState PropertyCalculator::Water(double temperatureC, Pressure pressure) const {
    return Guarded([&] {
        const Conditions c = At(temperatureC, pressure, state_->Settings);
        const engine::tools::WaterProperties w = engine::tools::WaterAt(c, state_->Settings.Modes);
        WaterState state;
        state.PressureBar = c.Pressure / engine::thermo::kBar;
        state.Density = w.Density / 1000.0;
        state.Dielectric = w.Dielectric;
        if (w.SaturationPressure)
            state.SaturationPressureBar = *w.SaturationPressure / engine::thermo::kBar;
        state.Gibbs = w.Gibbs;
        state.LogKw = w.LogKw;
        state.GFunction = w.G;
        return state;
    });
}

ReactionState PropertyCalculator::Reaction(const std::string& reaction, double temperatureC,
                                           Pressure pressure) {
    return Guarded([&] {
        const std::vector<engine::tools::ReactionTerm> terms =
            engine::tools::ParseReaction(reaction);
        const Conditions c = At(temperatureC, pressure, state_->Settings);
        state_->Potentials->At(c);
        state_->TemperatureC = temperatureC;
        state_->LastPressure = pressure;
        const engine::tools::ReactionEnergy energy =
            engine::tools::EnergyOf(terms, *state_->Potentials, c.Temperature);
        ReactionState r;
        for (std::size_t i = 0; i < terms.size(); ++i)
            r.Terms.push_back(
                {terms[i].Coefficient, terms[i].Name, *energy.Potentials[i].Gibbs / 1000.0});
        r.DeltaG = energy.DeltaG / 1000.0;
        r.LogK = energy.LogK;
        r.Imbalance = energy.Imbalance;
        return r;
    });
}

EquilibriumResult PropertyCalculator::Equilibrium(const EquilibriumRequest& request) const {
    return Guarded([&] {
        engine::tools::EquilibriumRequest asked;
        asked.Database = state_->Database;
        asked.System = request.System;
        asked.At = At(request.TemperatureC, request.Pressure, state_->Settings);
        asked.Activity = request.Activity;
        asked.MolalPh = request.MolalPh;
        asked.Assignments = request.Composition;
        if (request.Ph) asked.Assignments.emplace_back("pH", *request.Ph);
        const engine::tools::EquilibriumState state =
            engine::tools::ComputeEquilibrium(asked, state_->Settings);
        EquilibriumResult r;
        r.PressureBar = state.PressureBar;
        r.Pmc = state.Pmc;
        for (const engine::tools::PhaseState& p : state.Phases) {
            r.Phases.push_back(p.Name);
            r.PhaseAmounts.push_back(p.Amount);
            r.PhaseLogActivities.push_back(p.LogActivity);
        }
        r.WaterLogActivity = state.SolventLogActivity;
        for (const engine::tools::SoluteState& s : state.Solutes) {
            r.Species.push_back(s.Name);
            r.Molalities.push_back(s.Molality);
            r.LogActivities.push_back(s.LogActivity);
            r.LogGammas.push_back(s.LogGamma);
        }
        r.OsmoticCoefficient = state.OsmoticCoefficient;
        r.Ph = state.Ph.value_or(std::nan(""));
        r.Titrant = state.Titrant;
        r.Acid = state.Acid;
        r.Base = state.Base;
        r.IonicStrength = state.IonicStrength.value_or(std::nan(""));
        return r;
    });
}

}  // namespace varsel
