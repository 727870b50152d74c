// Small equilibrium problems built by hand for the solver tests: standard potentials at 25 °C
// close to the usual tabulated ones, so that the results are chemically plausible. The checks
// that use them test the solver's own consistency (balances, mass action), not the data.
#pragma once

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "engine/equilibrium/EquilibriumProblem.h"

namespace varsel::engine::equilibrium::testing {

inline constexpr double kRT25 = 0.008314411328 * 298.15;  // kJ/mol

struct Substance {
    std::string Name;
    std::map<std::string, double> Formula;
    double Charge = 0;
    double G = 0;  // kJ/mol
};

/// A problem over `elements` with the given p.m.c. (potential = G + RT ln a), extras, solutes.
struct Synthetic {
    EquilibriumProblem Problem;
    EquilibriumConditions Conditions;
};

inline ElementVector Vector(const std::vector<std::string>& elements,
                            const std::map<std::string, double>& formula) {
    ElementVector v(elements.size(), 0.0);
    for (std::size_t e = 0; e < elements.size(); ++e) {
        auto it = formula.find(elements[e]);
        if (it != formula.end()) v[e] = it->second;
    }
    return v;
}

inline Synthetic Build(const std::vector<std::string>& elements,
                       const std::vector<std::pair<Substance, double>>& mobiles,
                       const std::vector<Substance>& extras, const std::vector<Substance>& solutes,
                       double waterG = -237.18) {
    Synthetic s;
    s.Problem.ElementSymbols = elements;
    s.Problem.Solvent = Vector(elements, {{"H", 2}, {"O", 1}});
    for (const auto& [substance, activity] : mobiles) {
        s.Problem.Mobiles.push_back({substance.Name, Vector(elements, substance.Formula)});
        s.Conditions.MobilePotential.push_back(substance.G / kRT25 + std::log(activity));
    }
    for (const Substance& x : extras) {
        s.Problem.Extras.push_back({x.Name, Vector(elements, x.Formula), false});
        s.Conditions.ExtraPotential.push_back(x.G / kRT25);
    }
    for (const Substance& a : solutes) {
        s.Problem.Solutes.push_back({a.Name, Vector(elements, a.Formula), a.Charge});
        s.Conditions.SoluteStandard.push_back(a.G / kRT25);
    }
    s.Conditions.SolventStandard = waterG / kRT25;
    s.Conditions.Water = {298.15, 25, 1, 997.05, 78.4};  // A = 0.5098, B = 0.3285
    s.Conditions.Bulk.assign(elements.size(), 0.0);
    return s;
}

// Species of the NaCl-H2O-Ag-Si examples (kJ/mol at 25 °C, 1 bar).
inline const Substance kO2g{"O2,g", {{"O", 2}}, 0, 0.0};
inline const Substance kH2Ol{"H2O", {{"H", 2}, {"O", 1}}, 0, -237.18};
inline const Substance kQuartz{"QUARTZ", {{"Si", 1}, {"O", 2}}, 0, -856.24};
inline const Substance kHplus{"H+", {{"H", 1}}, 1, 0.0};
inline const Substance kOH{"OH-", {{"O", 1}, {"H", 1}}, -1, -157.27};
inline const Substance kNa{"Na+", {{"Na", 1}}, 1, -261.88};
inline const Substance kCl{"Cl-", {{"Cl", 1}}, -1, -131.29};
inline const Substance kNaCl{"NaCl,aq", {{"Na", 1}, {"Cl", 1}}, 0, -388.74};
inline const Substance kHCl{"HCl,aq", {{"H", 1}, {"Cl", 1}}, 0, -127.24};
inline const Substance kNaOH{"NaOH,aq", {{"Na", 1}, {"O", 1}, {"H", 1}}, 0, -417.98};
inline const Substance kO2aq{"O2,aq", {{"O", 2}}, 0, 16.54};
inline const Substance kH2aq{"H2,aq", {{"H", 2}}, 0, 17.72};
inline const Substance kSiO2{"SiO2,aq", {{"Si", 1}, {"O", 2}}, 0, -833.41};
inline const Substance kHSiO3{"HSiO3-", {{"H", 1}, {"Si", 1}, {"O", 3}}, -1, -1014.70};
inline const Substance kAg{"Ag+", {{"Ag", 1}}, 1, 77.12};
inline const Substance kAgCl{"AgCl,aq", {{"Ag", 1}, {"Cl", 1}}, 0, -72.80};
inline const Substance kAgCl2{"AgCl2-", {{"Ag", 1}, {"Cl", 2}}, -1, -215.48};
inline const Substance kChlorargyrite{"CHLORARGYRITE", {{"Ag", 1}, {"Cl", 1}}, 0, -109.80};
inline const Substance kSilver{"SILVER", {{"Ag", 1}}, 0, 0.0};

/// NaCl-H2O open to O2,g (activity a_O2) and water.
inline Synthetic NaClSystem(double o2Activity = 0.2) {
    return Build({"H", "O", "Na", "Cl"}, {{kO2g, o2Activity}, {kH2Ol, 1.0}}, {},
                 {kHplus, kOH, kNa, kCl, kNaCl, kHCl, kNaOH, kO2aq, kH2aq});
}

/// Silver chloride in NaCl solutions with chlorargyrite and silver as possible phases.
inline Synthetic SilverSystem(double o2Activity = 0.2, bool withPhases = true) {
    std::vector<Substance> extras;
    if (withPhases) extras = {kChlorargyrite, kSilver};
    return Build({"H", "O", "Na", "Cl", "Ag"}, {{kO2g, o2Activity}, {kH2Ol, 1.0}}, extras,
                 {kHplus, kOH, kNa, kCl, kNaCl, kHCl, kNaOH, kAg, kAgCl, kAgCl2, kO2aq, kH2aq});
}

/// Quartz-H2O open to quartz only; `redox` adds O2,aq and H2,aq.
inline Synthetic QuartzSystem(bool redox) {
    std::vector<Substance> solutes = {kHplus, kOH, kSiO2, kHSiO3};
    if (redox) {
        solutes.push_back(kO2aq);
        solutes.push_back(kH2aq);
    }
    return Build({"H", "O", "Si"}, {{kQuartz, 1.0}}, {}, solutes);
}

}  // namespace varsel::engine::equilibrium::testing
