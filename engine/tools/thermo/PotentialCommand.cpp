// varsel-thermo potential DATABASE T_C P_bar NAME...: type code and standard potential of
// each named substance.
#include <memory>
#include <vector>

#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Potentials.h"
#include "engine/tools/thermo/Tool.h"

namespace varsel::engine::tools {

namespace {

struct PotentialArguments {
    std::string Database, TempC, Pressure;
    std::vector<std::string> Names;
};

void RunPotential(const PotentialArguments& args, ToolContext& context) {
    const Conditions c = ReadConditions(args.TempC, args.Pressure, context.Settings());
    PotentialCalculator calculator(args.Database, c, context.Settings());
    std::ostream& out = context.Out;
    out << "database    " << calculator.Database().Path().string() << "\n";
    out << "conditions  " << Fixed(c.TemperatureC, 2) << " °C, "
        << Fixed(c.Pressure / thermo::kBar, 4) << " bar\n\n";
    // Look everything up first, so that the columns fit the names as they are shown.
    std::vector<Potential> potentials;
    std::vector<std::string> shown;
    std::size_t width = 8;
    for (const std::string& name : args.Names) {
        potentials.push_back(calculator.Of(name));
        const Potential& p = potentials.back();
        shown.push_back(!p.Record || p.Record->Name == name ? name
                                                            : name + " (" + p.Record->Name + ")");
        width = std::max(width, shown.back().size() + 2);
    }
    out << Pad("name", width) << Pad("code", 6, true) << Pad("G (kJ/mol)", 15, true)
        << Pad("G (cal/mol)", 15, true) << "   model\n";
    bool failed = false;
    for (std::size_t i = 0; i < potentials.size(); ++i) {
        const Potential& p = potentials[i];
        if (!p.Record) {
            context.Err << "varsel-thermo: no substance \"" << p.Name << "\" in "
                        << calculator.Database().Path().string() << "\n";
            failed = true;
            continue;
        }
        out << Pad(shown[i], width) << Pad(std::to_string(p.Code), 6, true);
        if (p.Gibbs) {
            out << Pad(Fixed(*p.Gibbs / 1000.0, 4), 15, true)
                << Pad(Fixed(*p.Gibbs / thermo::kCalorie, 1), 15, true) << "   " << p.Model << "\n";
        } else {
            out << Pad("-", 15, true) << Pad("-", 15, true) << "   " << p.Problem << "\n";
            failed = true;
        }
    }
    if (failed) throw ToolError(kExitFailure, "some potentials could not be given");
}

}  // namespace

void AddPotentialCommand(CLI::App& app, ToolContext& context) {
    auto args = std::make_shared<PotentialArguments>();
    CLI::App* sub = app.add_subcommand("potential",
                                       "type code and standard potential of "
                                       "substances (kJ/mol)");
    sub->add_option("DATABASE", args->Database, "database name or file")->required();
    sub->add_option("T_C", args->TempC, "temperature (°C)")->required();
    sub->add_option("P_bar", args->Pressure, "pressure (bar), or sat")->required();
    sub->add_option("NAME", args->Names, "substance names")->required();
    sub->callback([args, &context] { RunPotential(*args, context); });
}

}  // namespace varsel::engine::tools
