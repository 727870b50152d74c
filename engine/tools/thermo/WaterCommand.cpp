// varsel-thermo water T_C P_bar: the state of water at one temperature and pressure.
#include <memory>

#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Conditions.h"
#include "engine/tools/thermo/Tool.h"
#include "engine/tools/thermo/WaterProperties.h"

namespace varsel::engine::tools {

namespace {

struct WaterArguments {
    std::string TempC, Pressure;
};

void RunWater(const WaterArguments& args, ToolContext& context) {
    using namespace thermo;
    const Conditions c = ReadConditions(args.TempC, args.Pressure, context.Settings());
    const Modes modes = context.Modes();
    const WaterProperties w = WaterAt(c, modes);
    std::ostream& out = context.Out;
    const std::size_t width = 22;
    out << Pad("temperature", width) << Fixed(c.TemperatureC, 2) << " °C ("
        << Fixed(c.Temperature, 2) << " K)\n";
    out << Pad("pressure", width) << Fixed(c.Pressure / kBar, 4) << " bar"
        << (c.Saturation ? " (saturation)" : "") << "\n";
    out << Pad("density", width) << Fixed(w.Density / 1000.0, 6) << " g/cm3\n";
    out << Pad("dielectric constant", width) << Fixed(w.Dielectric, 4)
        << (modes.FernandezDielectric ? " (IAPWS R8-97)" : " (Johnson & Norton 1991)") << "\n";
    if (w.SaturationPressure)
        out << Pad("saturation pressure", width) << Fixed(*w.SaturationPressure / kBar, 6)
            << " bar\n";
    else
        out << Pad("saturation pressure", width) << "none (above the critical temperature)\n";
    out << Pad("water potential", width) << Fixed(w.Gibbs, 1) << " J/mol ("
        << Fixed(w.Gibbs / kCalorie, 1) << " cal/mol)\n";
    out << Pad("log Kw", width) << Fixed(w.LogKw, 4)
        << (modes.MarshallFranckKw ? " (Marshall & Franck 1981)" : " (Bandura & Lvov 2006)")
        << "\n";
    out << Pad("g function", width) << Fixed(w.G, 6) << " Å\n";
}

}  // namespace

void AddWaterCommand(CLI::App& app, ToolContext& context) {
    auto args = std::make_shared<WaterArguments>();
    CLI::App* sub = app.add_subcommand("water",
                                       "density, dielectric constant, saturation "
                                       "pressure and Gibbs energy of water");
    sub->add_option("T_C", args->TempC, "temperature (°C)")->required();
    sub->add_option("P_bar", args->Pressure, "pressure (bar), or sat")->required();
    sub->callback([args, &context] { RunWater(*args, context); });
}

}  // namespace varsel::engine::tools
