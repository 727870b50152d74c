#include "engine/tools/thermo/Tool.h"

#include "engine/thermo/Database.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::tools {

thermo::Modes ToolContext::Modes() const {
    thermo::Modes modes;
    modes.ConstantOmega = ConstantOmega;
    modes.MarshallFranckKw = MarshallFranck;
    modes.FernandezDielectric = Fernandez;
    return modes;
}

ThermoSettings ToolContext::Settings() const {
    ThermoSettings settings;
    settings.WorkFolder = WorkFolder;
    settings.IgnoreLimits = IgnoreLimits;
    settings.Modes = Modes();
    return settings;
}

int RunThermoTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                  const std::filesystem::path& workFolder) {
    ToolContext context{out, err, workFolder};
    CLI::App app{
        "Standard thermodynamic properties of water, aqueous species, minerals and gases "
        "at temperature and pressure.",
        "varsel-thermo"};
    app.require_subcommand(1);
    app.fallthrough();
    app.add_flag("--ignore-limits", context.IgnoreLimits,
                 "compute outside 0-1000 C, 5000 bar and a water density of 0.32 g/cm3");
    app.add_flag("--wp", context.ConstantOmega,
                 "keep the Born coefficient of ions constant (no g function)");
    app.add_flag("--bl", context.MarshallFranck, "log Kw of Marshall & Franck (1981)");
    app.add_flag("--ew", context.Fernandez, "dielectric constant of IAPWS R8-97");

    // The subcommands; a new one is a file with its registration function and a line here.
    AddWaterCommand(app, context);
    AddPotentialCommand(app, context);
    AddLogKCommand(app, context);
    AddEquilibriumCommand(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "varsel-thermo: " << e.what() << "\n"
            << "Run varsel-thermo --help for usage.\n";
        return kExitUsage;
    } catch (const ToolError& e) {
        err << "varsel-thermo: " << e.what() << "\n";
        return e.ExitCode();
    } catch (const thermo::DatabaseError& e) {
        err << "varsel-thermo: " << e.what() << "\n";
        return kExitFailure;
    } catch (const RuntimeFailure& e) {
        err << "varsel-thermo: " << e.what() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace varsel::engine::tools
