// An engine for tests whose every answer the test controls: the set-up messages, the System
// record, the Thermo tables (a TableThermo copied into each run) and an equilibrium law, a
// function that turns the species values, p.m.c. activities and composition of one
// Solver.Calculate into species amounts and activities. A calculation can be made to fail
// with a chosen text, and every call that matters is recorded.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/SystemInfo.h"
#include "services/Engine.h"
#include "support/TableThermo.h"

namespace varsel::test {

/// One Solver.Calculate as the law sees it.
struct Equilibrium {
    float TempC = 0;
    float PressureBar = 0;
    const Array1<double>* PmcActivities = nullptr;
    const Array1<double>* Composition = nullptr;
    /// Species values set through SetSpeciesValue, by position (System index − p.m.c.).
    const std::map<std::int16_t, float>* Values = nullptr;
    Array1<double>* Amounts = nullptr;
    Array1<double>* LnActivities = nullptr;
    double Ph = 0;       ///< the imposed pH (NaN: none)
    double Titrant = 0;  ///< what GetTitrantAmount answers after this calculation

    /// The value set for a position, or `fallback` when none was set (kJ/mol).
    double Value(std::int16_t position, double fallback = 0) const;
    /// Element amount of the composition (mol), element position 1 .. ElementCount.
    double Element(int position) const { return (*Composition)[position]; }
    /// Puts a species at `position` at molality `molal` (mol/kg), so that the a-axis of it
    /// reads log10(molal).
    void SetMolal(std::int16_t position, double molal);
    /// Puts a species at `position` at a decimal-log molal activity (amount 1).
    void SetLog10Activity(std::int16_t position, double log10Activity);
};

using EquilibriumLaw = std::function<void(Equilibrium&)>;

/// Everything the scripted engine answers, and what it was asked.
struct EngineScript {
    TableThermo Thermo;  ///< copied into every Thermo object created
    SystemInfo System;   ///< what ReadSystem fills
    std::string DatabaseMessage;
    std::string OptionsMessage;
    std::string SystemMessage = "System file accepted";
    EquilibriumLaw Law;
    /// Calculation number (from 1, counted over the script's life) from which on Calculate
    /// answers FailureText instead of "OK"; 0 never.
    long FailFromCalculation = 0;
    std::string FailureText = "Equilibrium not found";
    bool RefuseToCreate = false;  ///< the factory raises a RuntimeFailure

    // What the engine was asked.
    std::vector<std::string> Calls;  ///< set-up and session calls, in order
    std::string Database, SystemFile, Options;
    long Calculations = 0;
    std::vector<std::pair<std::int16_t, std::int16_t>> Switches;
    int Closed = 0;
    int Released = 0;  ///< Solver objects destroyed
};

/// Creates Solver, Thermo and SystemReader objects that answer from one script.
class ScriptedEngine : public IEngineFactory {
  public:
    explicit ScriptedEngine(EngineScript& script) : script_(script) {}
    std::unique_ptr<ISolver> CreateSolver(const std::string& workFolder) override;
    std::unique_ptr<IThermo> CreateThermo(const std::string& workFolder) override;
    std::unique_ptr<ISystemReader> CreateSystemReader(const std::string& workFolder) override;

  private:
    EngineScript& script_;
};

/// Positions (System index − p.m.c. slots) of the species of NaClScript().
enum NaClPosition : std::int16_t {
    // clang-format off
    kHalite = 1, kSolvent, kHydrogen, kHydroxide, kSodium, kChloride, kNaClComplex, kNaCl2Complex,
    kHClComplex
    // clang-format on
};

/// A sodium chloride System: p.m.c. slots O2,g and H2O, the extra Halite, and the aqueous
/// species H2O,aq (solvent), H+, OH-, Na+, Cl-, NaCl,aq, NaCl2-, HCl,aq; elements H, O, Na,
/// Cl; formulas NaCl, HCl, H2O; a database "thermo" and a System "nacl". The law is
/// ComplexationLaw.
EngineScript NaClScript();

/// Sodium chloride complexing with Cl- in excess: Na+ free = Na / (1 + K1 Cl + K2 Cl²),
/// K1 and K2 from the values of NaCl,aq and NaCl2- relative to Na+ and Cl- at RT; HCl,aq
/// reacts only above 2000 kJ/mol. Halite is present (amount 1) when Na exceeds 6 mol.
void ComplexationLaw(Equilibrium& e);

}  // namespace varsel::test
