// varsel-thermo equilibrium DATABASE SYSTEM T_C P_bar [pmc=activity ...] [FORMULA=amount ...]
// [pH=value]: the chemical equilibrium of one kilogram of water with the given amounts (mol) of
// formula units, open to the System's p.m.c. at the given activities (1 when not given), at an
// imposed pH when one is given (met by the System's titrants), computed by the engine's Solver
// exactly as a fit computes it. Prints every aqueous species with its molality, log activity
// and log activity coefficient, the osmotic coefficient, the amounts of the other phases, the
// pH, the titrant added and the ionic strength.
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "engine/EngineFactory.h"
#include "engine/equilibrium/Solver.h"
#include "engine/thermo/Formula.h"
#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Conditions.h"
#include "engine/tools/thermo/Tool.h"
#include "services/EngineContract.h"

namespace varsel::engine::tools {

namespace {

struct EquilibriumArguments {
    std::string Database, System, TempC, Pressure;
    std::string Activity = "bdot";
    bool MolalPh = false;
    std::vector<std::string> Assignments;
};

double ReadNumber(const std::string& text, const std::string& what) {
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || !std::isfinite(value))
        throw ToolError(kExitUsage, what + " \"" + text + "\" is not a number");
    return value;
}

std::string Scientific(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6e", value);
    return text;
}

void RunEquilibrium(const EquilibriumArguments& args, ToolContext& context) {
    const Conditions c = ReadConditions(args.TempC, args.Pressure, context.IgnoreLimits);
    const std::string folder = context.WorkFolder.string();
    EngineFactory factory;
    std::unique_ptr<ISolver> solver = factory.CreateSolver(folder);
    std::unique_ptr<IThermo> thermo = factory.CreateThermo(folder);
    std::unique_ptr<ISystemReader> reader = factory.CreateSystemReader(folder);
    solver->OpenDatabase(args.Database);
    if (!solver->GetMessage().empty()) throw ToolError(kExitFailure, solver->GetMessage());
    std::int16_t flag = 0;
    thermo->OpenDatabase(args.Database, flag);
    std::string options = "/mode=1";
    if (context.ConstantOmega) options += " /wp";
    if (context.MarshallFranck) options += " /bl";
    if (context.Fernandez) options += " /ew";
    options += " /act=" + args.Activity;
    if (args.MolalPh) options += " /ph=molal";
    solver->SetOptions(options);
    if (!solver->GetMessage().empty()) throw ToolError(kExitUsage, solver->GetMessage());
    thermo->SetIgnoreLimits(context.IgnoreLimits);
    thermo->SetModes(OptionFlagWord(options));
    solver->LoadSystem(args.System);
    if (solver->GetMessage() != kSystemAcceptedMessage)
        throw ToolError(kExitFailure, solver->GetMessage());
    SystemInfo info;
    reader->ReadSystem(args.System, info, flag);
    const int np = info.SubstanceCount;
    const int aqFirst = info.Phases.back().SpeciesBefore + 1;

    Array1<double> pmc(np), composition(info.ElementCount);
    Array1<double> amounts(info.LastAqueous - np), lnActivities(info.LastAqueous - np);
    for (int k = 1; k <= np; ++k)
        pmc[k] = 1.0;
    composition[0] = kWaterMolesPerKg;
    for (const std::string& assignment : args.Assignments) {
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0)
            throw ToolError(kExitUsage, "\"" + assignment + "\" is not NAME=value");
        const std::string name = assignment.substr(0, eq);
        const double value = ReadNumber(assignment.substr(eq + 1), name);
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
                                                  args.System + " does not have");
            composition[position] += a.Amount * value;
        }
    }

    std::int16_t scratch = 0;
    const float pressureBar = static_cast<float>(c.Pressure / thermo::kBar);
    solver->Calculate(static_cast<float>(c.TemperatureC), pressureBar, pmc, composition, amounts,
                      lnActivities, scratch);
    if (std::string message = solver->GetMessage(); message != kCalculatedMessage) {
        // The engine names the fitting program's switch; this program has its own.
        const std::string fitSwitch = "/ie lifts it";
        if (std::size_t at = message.rfind(fitSwitch); at != std::string::npos)
            message.replace(at, fitSwitch.size(), "--ignore-limits lifts it");
        throw ToolError(kExitFailure, message);
    }
    const auto* engineSolver = dynamic_cast<const equilibrium::Solver*>(solver.get());

    std::ostream& out = context.Out;
    out << "database    " << solver->GetDatabase() << "\n";
    out << "system      " << solver->GetSystemFile() << "\n";
    out << "conditions  " << Fixed(c.TemperatureC, 2) << " °C, " << Fixed(pressureBar, 4)
        << " bar\n";
    for (int k = 1; k <= np; ++k)
        out << "p.m.c.      " << info.SpeciesNames[k] << "  activity " << Scientific(pmc[k])
            << "\n";
    out << "\n";
    std::size_t width = 12;
    for (int s = np + 1; s <= info.LastAqueous; ++s)
        width = std::max(width, info.SpeciesNames[s].size() + 2);

    if (aqFirst > np + 1) {
        out << Pad("phase", width) << Pad("amount (mol)", 16, true) << Pad("log a", 12, true)
            << "\n";
        for (int s = np + 1; s < aqFirst; ++s) {
            const int i = s - np;
            out << Pad(info.SpeciesNames[s], width) << Pad(Scientific(amounts[i]), 16, true)
                << Pad(Fixed(lnActivities[i] / thermo::kLn10, 4), 12, true)
                << (amounts[i] > 0 ? "   present" : "   absent") << "\n";
        }
        out << "\n";
    }
    const double solvent = amounts[aqFirst - np];
    out << Pad("species", width) << Pad("molality", 16, true) << Pad("log a", 12, true)
        << Pad("log gamma", 12, true) << "\n";
    double soluteSum = 0;
    for (int s = aqFirst; s <= info.LastAqueous; ++s) {
        const int i = s - np;
        if (s == aqFirst) {
            out << Pad(info.SpeciesNames[s], width) << Pad("(solvent)", 16, true)
                << Pad(Fixed(lnActivities[i] / thermo::kLn10, 6), 12, true) << "\n";
            continue;
        }
        const double molality = amounts[i] * kWaterMolesPerKg / solvent;
        const double logActivity = (lnActivities[i] + kLnWaterMolesPerKg) / thermo::kLn10;
        soluteSum += molality;
        const std::string logGamma =
            molality > 0 ? Fixed(logActivity - std::log10(molality), 4) : std::string("-");
        out << Pad(info.SpeciesNames[s], width) << Pad(Scientific(molality), 16, true)
            << Pad(Fixed(logActivity, 4), 12, true) << Pad(logGamma, 12, true) << "\n";
    }
    // φ = −ln a_w / (M_w Σ m), the osmotic coefficient of the solution's solutes; left out
    // where ln a_w is 0, as when a p.m.c. H2O imposes the water at activity 1.
    if (soluteSum > 0 && lnActivities[aqFirst - np] != 0)
        out << "\nosmotic coefficient  "
            << Fixed(-lnActivities[aqFirst - np] / (soluteSum / kWaterMolesPerKg), 4) << "\n";
    if (engineSolver && engineSolver->LastResult()) {
        out << "\npH              " << Fixed(engineSolver->LastPh(), 4) << "\n";
        if (const double titrant = solver->GetTitrantAmount(); titrant != 0) {
            const auto& d = engineSolver->System()->Definition;
            out << "titrant         " << Scientific(std::fabs(titrant)) << " mol "
                << (titrant > 0 ? d.Acid + " (acid)" : d.Base + " (base)") << "\n";
        }
        out << "ionic strength  " << Scientific(engineSolver->LastResult()->IonicStrength)
            << " mol/kg\n";
    }
}

}  // namespace

void AddEquilibriumCommand(CLI::App& app, ToolContext& context) {
    auto args = std::make_shared<EquilibriumArguments>();
    CLI::App* sub = app.add_subcommand(
        "equilibrium",
        "chemical equilibrium of one kilogram of water with a System: species molalities and "
        "activities, stable phases, pH (or the titrant of an imposed pH) and ionic strength");
    sub->add_option("DATABASE", args->Database, "database name or file")->required();
    sub->add_option("SYSTEM", args->System, "System name or file")->required();
    sub->add_option("T_C", args->TempC, "temperature (°C)")->required();
    sub->add_option("P_bar", args->Pressure, "pressure (bar), or sat")->required();
    sub->add_option("ASSIGNMENT", args->Assignments,
                    "pmc=activity for a p.m.c. (default 1), FORMULA=amount in mol for what is "
                    "dissolved in the kilogram of water, pH=value to impose the pH with the "
                    "System's titrants");
    sub->add_option("--act", args->Activity,
                    "activity model of the solution: bdot (default), hkf81, pitzer or ideal");
    sub->add_flag("--molal-ph", args->MolalPh,
                  "an imposed pH is -log m(H+) (mol/kg) instead of -log a(H+)");
    sub->callback([args, &context] { RunEquilibrium(*args, context); });
}

}  // namespace varsel::engine::tools
