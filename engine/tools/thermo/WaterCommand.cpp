// varsel-thermo water T_C P_bar: the state of water at one temperature and pressure.
#include <memory>

#include "engine/thermo/Solvent.h"
#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Conditions.h"
#include "engine/tools/thermo/Tool.h"
#include "engine/water/Water.h"

namespace varsel::engine::tools {

namespace {

struct WaterArguments {
    std::string TempC, Pressure;
};

void RunWater(const WaterArguments& args, ToolContext& context) {
    using namespace thermo;
    const Conditions c = ReadConditions(args.TempC, args.Pressure, context.IgnoreLimits);
    const Modes modes = context.Modes();
    const double t = c.Temperature, p = c.Pressure;
    const double rho = water::Density(t, p);
    const double eps = DielectricConstant(t, rho, modes);
    const double g = water::ApparentGibbs(t, p);
    std::ostream& out = context.Out;
    const std::size_t w = 22;
    out << Pad("temperature", w) << Fixed(c.TemperatureC, 2) << " °C (" << Fixed(t, 2) << " K)\n";
    out << Pad("pressure", w) << Fixed(p / kBar, 4) << " bar"
        << (c.Saturation ? " (saturation)" : "") << "\n";
    out << Pad("density", w) << Fixed(rho / 1000.0, 6) << " g/cm3\n";
    out << Pad("dielectric constant", w) << Fixed(eps, 4)
        << (modes.FernandezDielectric ? " (IAPWS R8-97)" : " (Johnson & Norton 1991)") << "\n";
    if (t >= 273.15 && t <= water::kCriticalTemperature)
        out << Pad("saturation pressure", w)
            << Fixed(water::SaturationPressure(std::max(t, 273.16)) / kBar, 6) << " bar\n";
    else
        out << Pad("saturation pressure", w) << "none (above the critical temperature)\n";
    out << Pad("water potential", w) << Fixed(g, 1) << " J/mol (" << Fixed(g / kCalorie, 1)
        << " cal/mol)\n";
    out << Pad("log Kw", w) << Fixed(LogKw(t, rho, modes), 4)
        << (modes.MarshallFranckKw ? " (Marshall & Franck 1981)" : " (Bandura & Lvov 2006)")
        << "\n";
    out << Pad("g function", w) << Fixed(SolventFunctionG(t, p, rho, modes), 6) << " Å\n";
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
