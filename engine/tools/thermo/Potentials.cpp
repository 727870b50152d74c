#include "engine/tools/thermo/Potentials.h"

#include "engine/thermo/MaierKelley.h"
#include "engine/thermo/StandardGibbs.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::tools {

using namespace thermo;

namespace {

std::string ModelName(const SpeciesRecord& r, const Conditions& c) {
    switch (r.Role) {
        case SpeciesRole::Proton:
            return "convention (zero)";
        case SpeciesRole::Hydroxide:
            return "water potential and log Kw";
        case SpeciesRole::Solvent:
        case SpeciesRole::WaterSubstance:
            return "water equation of state";
        case SpeciesRole::Ordinary:
            break;
    }
    switch (r.Kind) {
        case SpeciesKind::Aqueous:
            return AqueousModelOf(r) == AqueousModel::Estimated ? "HKF, estimated parameters"
                                                                : "HKF";
        case SpeciesKind::Mineral: {
            std::string name = "Maier-Kelley";
            if (!r.Transitions.empty())
                name += ", phase " + std::to_string(MineralPhase(r, c.Temperature, c.Pressure) + 1);
            if (r.MaxTemperature > 0 && c.Temperature > r.MaxTemperature)
                name += ", beyond the Cp limit";
            return name;
        }
        case SpeciesKind::Gas:
            return "ideal gas, 1 bar";
        case SpeciesKind::Water:
            return "water equation of state";
    }
    return "";
}

}  // namespace

PotentialCalculator::PotentialCalculator(const std::string& database, const Conditions& conditions,
                                         const ThermoSettings& settings)
    : settings_(settings), thermo_(settings.WorkFolder) {
    std::int16_t flag = 0;
    thermo_.OpenDatabase(database, flag);
    At(conditions);
}

void PotentialCalculator::At(const Conditions& conditions) {
    conditions_ = conditions;
    solvent_.reset();
    solventProblem_.clear();
    try {
        solvent_ = SolventAt(conditions.Temperature, conditions.Pressure, settings_.Modes);
    } catch (const RuntimeFailure& e) {
        solventProblem_ = e.what();
    }
}

Potential PotentialCalculator::Of(const std::string& name) {
    Potential result;
    result.Name = name;
    const std::int16_t index = thermo_.FindSubstance(name);
    if (index < 0) return result;
    result.Code = thermo_.GetTypeCode(index);
    const SpeciesRecord& r = Database().Records()[static_cast<std::size_t>(index - 1)];
    result.Record = &r;
    result.Model = ModelName(r, conditions_);

    if (std::string missing = MissingData(r); !missing.empty()) {
        result.Problem = missing;
        return result;
    }
    const bool needsWater = r.Kind == SpeciesKind::Aqueous || r.Kind == SpeciesKind::Water;
    if (!solvent_) {
        if (needsWater) {
            result.Problem = solventProblem_;
            return result;
        }
        // Minerals and gases need no water: a state with only T and P serves them.
        SolventState dry;
        dry.Temperature = conditions_.Temperature;
        dry.Pressure = conditions_.Pressure;
        dry.Options = settings_.Modes;
        result.Gibbs = StandardGibbs(r, dry);
    } else {
        // The aqueous model holds for liquid water of at least 0.32 g/cm3; with the limits
        // lifted, the water's state is still the likely cause when the model fails.
        const bool ignoreLimits = settings_.IgnoreLimits;
        const std::string water =
            r.Kind == SpeciesKind::Aqueous
                ? AqueousWaterProblem(solvent_->Temperature, solvent_->Pressure, solvent_->Density,
                                      ignoreLimits ? 0.0 : 320.0,
                                      settings_.LiftLimits + " lifts it")
                : "";
        if (!water.empty() && !ignoreLimits) {
            result.Problem = water;
            return result;
        }
        result.Gibbs = StandardGibbs(r, *solvent_);
        if (!result.Gibbs && !water.empty()) {
            result.Problem = water;
            return result;
        }
    }
    if (!result.Gibbs) result.Problem = "the model gives no finite value here";
    return result;
}

}  // namespace varsel::engine::tools
