// varsel.Engine over include/varsel/Properties.h: the numbers varsel-thermo prints.
#include "EngineBindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Arrays.h"
#include "varsel/Properties.h"

namespace py = pybind11;

namespace varsel::python {

namespace {

// A pressure as Python gives it: a number of bar or the word "sat".
Pressure PressureOf(const py::object& value) {
    if (py::isinstance<py::str>(value)) {
        if (value.cast<std::string>() == "sat") return Pressure::Saturated();
        throw py::value_error("pressure \"" + value.cast<std::string>() +
                              "\" is not a number (bar) or \"sat\"");
    }
    return Pressure{value.cast<double>(), false};
}

py::object Optional(const std::optional<double>& value) {
    return value ? py::object(py::float_(*value)) : py::object(py::none());
}

constexpr const char* kConditions =
    "T is the temperature in °C, P the pressure in bar or \"sat\" (the liquid-vapour "
    "saturation pressure, 1 bar below 100 °C). ";

}  // namespace

void BindEngine(py::module_& m) {
    py::register_exception<PropertyError>(m, "EngineError", PyExc_ValueError).doc() =
        "The engine cannot answer: a temperature, pressure or water density outside "
        "its limits, steam, an unknown substance, a database or System it cannot "
        "read. The message is varsel-thermo's. A subclass of ValueError.";

    py::class_<PropertyCalculator>(
        m, "Engine",
        "Varsel's thermodynamic engine without a data file: standard potentials, water, "
        "reactions and equilibria at a temperature and pressure, the numbers varsel-thermo "
        "prints. Units: °C, bar, kJ/mol, mol/kg.")
        .def(py::init([](const std::string& database, bool ignoreLimits, bool constantOmega,
                         bool marshallFranck, bool fernandez, const std::string& folder) {
                 PropertySettings settings;
                 settings.WorkFolder = folder;
                 settings.IgnoreLimits = ignoreLimits;
                 settings.ConstantOmega = constantOmega;
                 settings.MarshallFranckKw = marshallFranck;
                 settings.FernandezDielectric = fernandez;
                 settings.LiftLimits = "ignore_limits=True";
                 return PropertyCalculator(database, settings);
             }),
             py::arg("database") = "thermo", py::kw_only(), py::arg("ignore_limits") = false,
             py::arg("constant_omega") = false, py::arg("marshall_franck_kw") = false,
             py::arg("fernandez_dielectric") = false, py::arg("work_folder") = "",
             "Opens a database by name (\"thermo\", the one that ships) or path; names "
             "without a path are looked for in work_folder (default: the current folder), "
             "then among the shipped databases. ignore_limits=True computes outside 0-1000 "
             "°C, 5000 bar and a water density of 0.32 g/cm3; constant_omega keeps the Born "
             "coefficient of ions constant (no g function); marshall_franck_kw takes log Kw "
             "of Marshall & Franck (1981); fernandez_dielectric the dielectric constant of "
             "IAPWS R8-97. Raises EngineError when the database cannot be read.")
        .def_property_readonly("database", &PropertyCalculator::DatabaseFile,
                               "str: the database file that was opened")
        .def(
            "standard_potential",
            [](PropertyCalculator& e, const std::string& species, double t, py::object p) {
                return e.Potential(species, t, PressureOf(p)).Gibbs;
            },
            py::arg("species"), py::arg("T"), py::arg("P"),
            (std::string("The apparent standard Gibbs energy of formation of a substance, "
                         "kJ/mol. ") +
             kConditions + "Raises EngineError where there is none.")
                .c_str())
        .def(
            "substance",
            [](PropertyCalculator& e, const std::string& species, double t, py::object p) {
                const StandardPotential s = e.Potential(species, t, PressureOf(p));
                py::dict out;
                out["name"] = s.Name;
                out["type_code"] = s.TypeCode;
                out["G"] = s.Gibbs;
                out["model"] = s.Model;
                return out;
            },
            py::arg("species"), py::arg("T"), py::arg("P"),
            (std::string("What varsel-thermo potential prints of a substance: a dict of name "
                         "(as the database has it), type_code (the engine's), G (kJ/mol) and "
                         "model (how G was computed). ") +
             kConditions)
                .c_str())
        .def(
            "water",
            [](const PropertyCalculator& e, double t, py::object p) {
                const WaterState w = e.Water(t, PressureOf(p));
                py::dict out;
                out["pressure"] = w.PressureBar;
                out["density"] = w.Density;
                out["dielectric_constant"] = w.Dielectric;
                out["saturation_pressure"] = Optional(w.SaturationPressureBar);
                out["G"] = w.Gibbs;
                out["log_kw"] = w.LogKw;
                out["g_function"] = w.GFunction;
                return out;
            },
            py::arg("T"), py::arg("P"),
            (std::string("The state of water, as varsel-thermo water prints it: a dict of "
                         "pressure (bar, the one used), density (g/cm3), dielectric_constant, "
                         "saturation_pressure (bar; None above the critical temperature), G "
                         "(the water potential, J/mol), log_kw and g_function (Å). ") +
             kConditions)
                .c_str())
        .def(
            "log_k",
            [](PropertyCalculator& e, const std::string& reaction, double t, py::object p) {
                const ReactionState r = e.Reaction(reaction, t, PressureOf(p));
                py::list terms;
                for (const ReactionState::Term& term : r.Terms)
                    terms.append(py::make_tuple(term.Coefficient, term.Name, term.Gibbs));
                py::dict out;
                out["log_k"] = r.LogK;
                out["delta_G"] = r.DeltaG;
                out["terms"] = terms;
                out["imbalance"] =
                    r.Imbalance.empty() ? py::object(py::none()) : py::object(py::str(r.Imbalance));
                return out;
            },
            py::arg("reaction"), py::arg("T"), py::arg("P"),
            (std::string("The Gibbs energy and log K of a reaction, as varsel-thermo logk "
                         "prints them, e.g. \"CALCITE + 2 H+ = Ca+2 + CO2,aq + H2O\": a dict "
                         "of log_k, delta_G (kJ/mol), terms (coefficient, negative for "
                         "reactants; name; G in kJ/mol) and imbalance (the elements and "
                         "charge left over, None when balanced). ") +
             kConditions)
                .c_str())
        .def(
            "equilibrium",
            [](const PropertyCalculator& e, const std::string& system, double t, py::object p,
               const std::optional<py::dict>& composition, const std::string& activity,
               std::optional<double> ph, bool molalPh) {
                EquilibriumRequest request;
                request.System = system;
                request.TemperatureC = t;
                request.Pressure = PressureOf(p);
                if (composition) {
                    for (const auto& [name, amount] : *composition)
                        request.Composition.emplace_back(name.cast<std::string>(),
                                                         amount.cast<double>());
                }
                request.Activity = activity;
                request.Ph = ph;
                request.MolalPh = molalPh;
                const EquilibriumResult r = e.Equilibrium(request);
                std::vector<double> activities;
                for (double logA : r.LogActivities)
                    activities.push_back(std::pow(10.0, logA));
                py::dict pmc;
                for (const auto& [name, value] : r.Pmc)
                    pmc[py::str(name)] = value;
                py::dict out;
                out["species"] = py::array(py::cast(r.Species));
                out["molality"] = Array(r.Molalities);
                out["activity"] = Array(activities);
                out["log_activity"] = Array(r.LogActivities);
                out["log_gamma"] = Array(r.LogGammas);
                out["phases"] = py::array(py::cast(r.Phases));
                out["phase_amount"] = Array(r.PhaseAmounts);
                out["phase_log_activity"] = Array(r.PhaseLogActivities);
                out["water_log_activity"] = r.WaterLogActivity;
                out["osmotic_coefficient"] = Optional(r.OsmoticCoefficient);
                out["pH"] = r.Ph;
                out["ionic_strength"] = r.IonicStrength;
                out["titrant"] = r.Titrant;
                out["acid"] = r.Acid;
                out["base"] = r.Base;
                out["pmc"] = pmc;
                out["pressure"] = r.PressureBar;
                return out;
            },
            py::arg("system"), py::arg("T"), py::arg("P"), py::arg("composition") = py::none(),
            py::arg("activity") = "bdot", py::kw_only(), py::arg("pH") = py::none(),
            py::arg("molal_pH") = false,
            (std::string("The chemical equilibrium of one kilogram of water with a System, as "
                         "varsel-thermo equilibrium computes it. ") +
             kConditions +
             "composition maps a formula to the moles dissolved (\"NaCl\": 0.1) or a "
             "p.m.c. of the System to its activity (\"O2,g\": 0.2; 1 when not given). "
             "activity names the activity model: bdot, hkf81, pitzer or ideal. pH imposes a "
             "pH with the System's titrants (-log m(H+) with molal_pH=True). Returns a dict "
             "of numpy arrays over the solutes: species (names), molality (mol/kg), "
             "activity, log_activity, log_gamma (NaN where the molality is 0); over the "
             "other phases: phases, phase_amount (mol), phase_log_activity; and the numbers "
             "water_log_activity, osmotic_coefficient (None when water is held at activity "
             "1), pH, ionic_strength (mol/kg), titrant (mol of acid, negative: of base), "
             "acid, base, pmc (name: activity) and pressure (bar).")
                .c_str())
        .def("__repr__", [](const PropertyCalculator& e) {
            return "<varsel.Engine " + e.DatabaseFile() + ">";
        });
}

}  // namespace varsel::python
