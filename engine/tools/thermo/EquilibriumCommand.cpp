// varsel-thermo equilibrium DATABASE SYSTEM T_C P_bar [pmc=activity ...] [FORMULA=amount ...]
// [pH=value]: the chemical equilibrium of one kilogram of water with the given amounts (mol) of
// formula units, open to the System's p.m.c. at the given activities (1 when not given), at an
// imposed pH when one is given (met by the System's titrants), computed by the engine's Solver
// exactly as a fit computes it. Prints every aqueous species with its molality, log activity
// and log activity coefficient, the osmotic coefficient, the amounts of the other phases, the
// pH, the titrant added and the ionic strength (the calculation is Equilibrium.h's).
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/tools/thermo/Conditions.h"
#include "engine/tools/thermo/Equilibrium.h"
#include "engine/tools/thermo/Tool.h"

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
    EquilibriumRequest request;
    request.Database = args.Database;
    request.System = args.System;
    request.At = ReadConditions(args.TempC, args.Pressure, context.Settings());
    request.Activity = args.Activity;
    request.MolalPh = args.MolalPh;
    for (const std::string& assignment : args.Assignments) {
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0)
            throw ToolError(kExitUsage, "\"" + assignment + "\" is not NAME=value");
        const std::string name = assignment.substr(0, eq);
        request.Assignments.emplace_back(name, ReadNumber(assignment.substr(eq + 1), name));
    }
    const EquilibriumState state = ComputeEquilibrium(request, context.Settings());
    const Conditions& c = request.At;

    std::ostream& out = context.Out;
    out << "database    " << state.Database << "\n";
    out << "system      " << state.System << "\n";
    out << "conditions  " << Fixed(c.TemperatureC, 2) << " °C, " << Fixed(state.PressureBar, 4)
        << " bar\n";
    for (const auto& [name, activity] : state.Pmc)
        out << "p.m.c.      " << name << "  activity " << Scientific(activity) << "\n";
    out << "\n";
    std::size_t width = std::max<std::size_t>(12, state.Solvent.size() + 2);
    for (const PhaseState& p : state.Phases)
        width = std::max(width, p.Name.size() + 2);
    for (const SoluteState& s : state.Solutes)
        width = std::max(width, s.Name.size() + 2);

    if (!state.Phases.empty()) {
        out << Pad("phase", width) << Pad("amount (mol)", 16, true) << Pad("log a", 12, true)
            << "\n";
        for (const PhaseState& p : state.Phases)
            out << Pad(p.Name, width) << Pad(Scientific(p.Amount), 16, true)
                << Pad(Fixed(p.LogActivity, 4), 12, true)
                << (p.Amount > 0 ? "   present" : "   absent") << "\n";
        out << "\n";
    }
    out << Pad("species", width) << Pad("molality", 16, true) << Pad("log a", 12, true)
        << Pad("log gamma", 12, true) << "\n";
    out << Pad(state.Solvent, width) << Pad("(solvent)", 16, true)
        << Pad(Fixed(state.SolventLogActivity, 6), 12, true) << "\n";
    for (const SoluteState& s : state.Solutes) {
        const std::string logGamma = s.Molality > 0 ? Fixed(s.LogGamma, 4) : std::string("-");
        out << Pad(s.Name, width) << Pad(Scientific(s.Molality), 16, true)
            << Pad(Fixed(s.LogActivity, 4), 12, true) << Pad(logGamma, 12, true) << "\n";
    }
    if (state.OsmoticCoefficient)
        out << "\nosmotic coefficient  " << Fixed(*state.OsmoticCoefficient, 4) << "\n";
    if (state.Ph) {
        out << "\npH              " << Fixed(*state.Ph, 4) << "\n";
        if (state.Titrant != 0) {
            out << "titrant         " << Scientific(std::fabs(state.Titrant)) << " mol "
                << (state.Titrant > 0 ? state.Acid + " (acid)" : state.Base + " (base)") << "\n";
        }
        out << "ionic strength  " << Scientific(*state.IonicStrength) << " mol/kg\n";
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
