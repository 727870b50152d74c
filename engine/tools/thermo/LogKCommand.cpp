// varsel-thermo logk DATABASE T_C P_bar REACTION: Gibbs energy and log K of a reaction.
#include <memory>
#include <vector>

#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Reaction.h"
#include "engine/tools/thermo/Tool.h"

namespace varsel::engine::tools {

namespace {

struct LogKArguments {
    std::string Database, TempC, Pressure;
    std::vector<std::string> Reaction;  // the words of the reaction, joined again
};

// The words joined by a separator.
std::string Join(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const std::string& word : words) {
        if (!text.empty()) text += separator;
        text += word;
    }
    return text;
}

void RunLogK(const LogKArguments& args, ToolContext& context) {
    const std::string text = Join(args.Reaction, " ");
    const std::vector<ReactionTerm> terms = ParseReaction(text);
    const Conditions c = ReadConditions(args.TempC, args.Pressure, context.Settings());
    PotentialCalculator calculator(args.Database, c, context.Settings());
    const ReactionEnergy r = EnergyOf(terms, calculator, c.Temperature);

    std::ostream& out = context.Out;
    out << "reaction    " << text << "\n";
    out << "database    " << calculator.Database().Path().string() << "\n";
    out << "conditions  " << Fixed(c.TemperatureC, 2) << " °C, "
        << Fixed(c.Pressure / thermo::kBar, 4) << " bar\n\n";
    std::size_t width = 8;
    for (const ReactionTerm& t : terms)
        width = std::max(width, t.Name.size() + 2);
    out << Pad("coeff", 8, true) << "  " << Pad("species", width) << Pad("code", 6, true)
        << Pad("G (kJ/mol)", 15, true) << "\n";
    for (std::size_t i = 0; i < terms.size(); ++i)
        out << Pad(Fixed(terms[i].Coefficient, 3), 8, true) << "  " << Pad(terms[i].Name, width)
            << Pad(std::to_string(r.Potentials[i].Code), 6, true)
            << Pad(Fixed(*r.Potentials[i].Gibbs / 1000.0, 4), 15, true) << "\n";
    out << "\ndelta G     " << Fixed(r.DeltaG / 1000.0, 4) << " kJ/mol ("
        << Fixed(r.DeltaG / thermo::kCalorie, 1) << " cal/mol)\n";
    out << "log K       " << Fixed(r.LogK, 4) << "\n";
    if (!r.Imbalance.empty())
        context.Err << "varsel-thermo: warning: the reaction is not balanced (" << r.Imbalance
                    << ")\n";
}

}  // namespace

void AddLogKCommand(CLI::App& app, ToolContext& context) {
    auto args = std::make_shared<LogKArguments>();
    CLI::App* sub = app.add_subcommand("logk", "Gibbs energy and log K of a reaction");
    sub->add_option("DATABASE", args->Database, "database name or file")->required();
    sub->add_option("T_C", args->TempC, "temperature (°C)")->required();
    sub->add_option("P_bar", args->Pressure, "pressure (bar), or sat")->required();
    sub->add_option(
           "REACTION", args->Reaction,
           "reaction, e.g. \"QUARTZ = SiO2,aq\" or \"CALCITE + 2 H+ = Ca+2 + CO2,aq + H2O\"")
        ->required();
    sub->callback([args, &context] { RunLogK(*args, context); });
}

}  // namespace varsel::engine::tools
