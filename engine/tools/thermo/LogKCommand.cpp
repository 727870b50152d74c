// varsel-thermo logk DATABASE T_C P_bar REACTION: Gibbs energy and log K of a reaction.
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "engine/thermo/Elements.h"
#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Potentials.h"
#include "engine/tools/thermo/Reaction.h"
#include "engine/tools/thermo/Tool.h"

namespace varsel::engine::tools {

namespace {

struct LogKArguments {
    std::string Database, TempC, Pressure;
    std::vector<std::string> Reaction;  // the words of the reaction, joined again
};

std::string Join(const std::vector<std::string>& words, const std::string& separator);

// Element and charge balance; empty when balanced.
std::string Imbalance(const std::vector<ReactionTerm>& terms, const std::vector<Potential>& p) {
    std::map<int, double> elements;
    double charge = 0;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        for (const thermo::ElementAmount& e : p[i].Record->Composition.Elements)
            elements[e.Code] += terms[i].Coefficient * e.Amount;
        charge += terms[i].Coefficient * p[i].Record->Charge();
    }
    std::vector<std::string> parts;
    for (const auto& [code, amount] : elements)
        if (std::fabs(amount) > 1e-6)
            parts.push_back(std::string(thermo::ElementByCode(code)->Symbol) + " " +
                            Fixed(amount, 3));
    if (std::fabs(charge) > 1e-6) parts.push_back("charge " + Fixed(charge, 3));
    return Join(parts, ", ");
}

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
    const Conditions c = ReadConditions(args.TempC, args.Pressure, context.IgnoreLimits);
    PotentialCalculator calculator(args.Database, c, context);

    std::vector<Potential> potentials;
    double deltaG = 0;
    for (const ReactionTerm& term : terms) {
        Potential p = calculator.Of(term.Name);
        if (!p.Record)
            throw ToolError(kExitFailure, "no substance \"" + term.Name + "\" in " +
                                              calculator.Database().Path().string());
        if (!p.Gibbs)
            throw ToolError(kExitFailure, "no potential for " + term.Name + ": " + p.Problem);
        deltaG += term.Coefficient * *p.Gibbs;
        potentials.push_back(std::move(p));
    }
    const double logK = -deltaG / (thermo::kGasConstant * c.Temperature * thermo::kLn10);

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
            << Pad(std::to_string(potentials[i].Code), 6, true)
            << Pad(Fixed(*potentials[i].Gibbs / 1000.0, 4), 15, true) << "\n";
    out << "\ndelta G     " << Fixed(deltaG / 1000.0, 4) << " kJ/mol ("
        << Fixed(deltaG / thermo::kCalorie, 1) << " cal/mol)\n";
    out << "log K       " << Fixed(logK, 4) << "\n";
    if (std::string imbalance = Imbalance(terms, potentials); !imbalance.empty())
        context.Err << "varsel-thermo: warning: the reaction is not balanced (" << imbalance
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
