#include "engine/tools/thermo/Equilibrium.h"

#include <cmath>
#include <limits>
#include <memory>

#include "engine/EngineFactory.h"
#include "engine/equilibrium/Solver.h"
#include "engine/thermo/Formula.h"
#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"
#include "services/EngineContract.h"

namespace varsel::engine::tools {

EquilibriumState ComputeEquilibrium(const EquilibriumRequest& request,
                                    const ThermoSettings& settings) {
    const Conditions& c = request.At;
    const std::string folder = settings.WorkFolder.string();
    EngineFactory factory;
    std::unique_ptr<ISolver> solver = factory.CreateSolver(folder);
    std::unique_ptr<IThermo> thermo = factory.CreateThermo(folder);
    std::unique_ptr<ISystemReader> reader = factory.CreateSystemReader(folder);
    solver->OpenDatabase(request.Database);
    if (!solver->GetMessage().empty()) throw ToolError(kExitFailure, solver->GetMessage());
    std::int16_t flag = 0;
    thermo->OpenDatabase(request.Database, flag);
    std::string options = "/mode=1";
    if (settings.Modes.ConstantOmega) options += " /wp";
    if (settings.Modes.MarshallFranckKw) options += " /bl";
    if (settings.Modes.FernandezDielectric) options += " /ew";
    options += " /act=" + request.Activity;
    if (request.MolalPh) options += " /ph=molal";
    solver->SetOptions(options);
    if (!solver->GetMessage().empty()) throw ToolError(kExitUsage, solver->GetMessage());
    thermo->SetIgnoreLimits(settings.IgnoreLimits);
    thermo->SetModes(OptionFlagWord(options));
    solver->LoadSystem(request.System);
    if (solver->GetMessage() != kSystemAcceptedMessage)
        throw ToolError(kExitFailure, solver->GetMessage());
    SystemInfo info;
    reader->ReadSystem(request.System, info, flag);
    const int np = info.SubstanceCount;
    const int aqFirst = info.Phases.back().SpeciesBefore + 1;

    Array1<double> pmc(np), composition(info.ElementCount);
    Array1<double> amounts(info.LastAqueous - np), lnActivities(info.LastAqueous - np);
    for (int k = 1; k <= np; ++k)
        pmc[k] = 1.0;
    composition[0] = kWaterMolesPerKg;
    for (const auto& [name, value] : request.Assignments) {
        if (!std::isfinite(value))
            throw ToolError(kExitUsage,
                            name + " \"" + thermo::FormatNumber(value) + "\" is not a number");
        if (name == "pH") {
            solver->SetPh(value);
            continue;
        }
        int slot = 0;
        for (int k = 1; k <= np; ++k) {
            if (info.SpeciesNames[k] == name) slot = k;
        }
        if (slot > 0) {
            if (!(value > 0))
                throw ToolError(kExitUsage, "the activity of " + name + " must be positive");
            pmc[slot] = value;
            continue;
        }
        std::string why;
        const std::optional<thermo::Formula> formula = thermo::TryParseFormula(name, &why);
        if (!formula)
            throw ToolError(kExitUsage, name + " is neither a p.m.c. nor a formula: " + why);
        for (const thermo::ElementAmount& a : formula->Elements) {
            int position = 0;
            for (int e = 1; e <= info.ElementCount; ++e) {
                if (info.ElementCodes[e] == a.Code) position = e;
            }
            if (position == 0)
                throw ToolError(kExitFailure, "formula " + name + " holds an element that System " +
                                                  request.System + " does not have");
            composition[position] += a.Amount * value;
        }
    }

    std::int16_t scratch = 0;
    const float pressureBar = static_cast<float>(c.Pressure / thermo::kBar);
    solver->Calculate(static_cast<float>(c.TemperatureC), pressureBar, pmc, composition, amounts,
                      lnActivities, scratch);
    if (std::string message = solver->GetMessage(); message != kCalculatedMessage) {
        // The engine names the fitting program's switch; the caller has its own.
        const std::string fitSwitch = "/ie lifts it";
        if (std::size_t at = message.rfind(fitSwitch); at != std::string::npos)
            message.replace(at, fitSwitch.size(), settings.LiftLimits + " lifts it");
        throw ToolError(kExitFailure, message);
    }

    EquilibriumState state;
    state.Database = solver->GetDatabase();
    state.System = solver->GetSystemFile();
    state.PressureBar = pressureBar;
    for (int k = 1; k <= np; ++k)
        state.Pmc.emplace_back(info.SpeciesNames[k], pmc[k]);
    for (int s = np + 1; s < aqFirst; ++s) {
        const int i = s - np;
        state.Phases.push_back({info.SpeciesNames[s], amounts[i], lnActivities[i] / thermo::kLn10});
    }
    const double solvent = amounts[aqFirst - np];
    state.Solvent = info.SpeciesNames[aqFirst];
    state.SolventLogActivity = lnActivities[aqFirst - np] / thermo::kLn10;
    double soluteSum = 0;
    for (int s = aqFirst + 1; s <= info.LastAqueous; ++s) {
        const int i = s - np;
        SoluteState solute;
        solute.Name = info.SpeciesNames[s];
        solute.Molality = amounts[i] * kWaterMolesPerKg / solvent;
        solute.LogActivity = (lnActivities[i] + kLnWaterMolesPerKg) / thermo::kLn10;
        solute.LogGamma = solute.Molality > 0 ? solute.LogActivity - std::log10(solute.Molality)
                                              : std::numeric_limits<double>::quiet_NaN();
        soluteSum += solute.Molality;
        state.Solutes.push_back(std::move(solute));
    }
    if (soluteSum > 0 && lnActivities[aqFirst - np] != 0)
        state.OsmoticCoefficient = -lnActivities[aqFirst - np] / (soluteSum / kWaterMolesPerKg);
    const auto* engineSolver = dynamic_cast<const equilibrium::Solver*>(solver.get());
    if (engineSolver && engineSolver->LastResult()) {
        state.Ph = engineSolver->LastPh();
        state.Titrant = solver->GetTitrantAmount();
        state.Acid = engineSolver->System()->Definition.Acid;
        state.Base = engineSolver->System()->Definition.Base;
        state.IonicStrength = engineSolver->LastResult()->IonicStrength;
    }
    return state;
}

}  // namespace varsel::engine::tools
