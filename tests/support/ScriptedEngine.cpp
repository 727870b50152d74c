#include "support/ScriptedEngine.h"

#include <algorithm>
#include <cmath>

#include "model/RuntimeFailure.h"

namespace varsel::test {

namespace {

constexpr double kLnWaterMoles = 4.016535;
constexpr double kLog10E = 0.4342945;

class ScriptedSolver : public ISolver {
  public:
    explicit ScriptedSolver(EngineScript& script) : script_(script) {}
    ~ScriptedSolver() override { ++script_.Released; }
    ScriptedSolver(const ScriptedSolver&) = delete;
    ScriptedSolver& operator=(const ScriptedSolver&) = delete;

    void OpenDatabase(const std::string& name) override {
        script_.Calls.push_back("OpenDatabase " + name);
        script_.Database = name;
        message_ = script_.DatabaseMessage;
    }
    void SetOptions(const std::string& options) override {
        script_.Calls.push_back("SetOptions " + options);
        script_.Options = options;
        message_ = script_.OptionsMessage;
    }
    void LoadSystem(const std::string& systemFile) override {
        script_.Calls.push_back("LoadSystem " + systemFile);
        script_.SystemFile = systemFile;
        message_ = script_.SystemMessage;
    }
    std::string GetMessage() override { return message_; }
    void SetSwitch(std::int16_t which, std::int16_t value) override {
        script_.Calls.push_back("SetSwitch");
        script_.Switches.emplace_back(which, value);
    }
    void SetSpeciesValue(std::int16_t position, float value) override { values_[position] = value; }
    void SetPh(double ph) override { ph_ = ph; }
    double GetTitrantAmount() override { return titrant_; }
    void Calculate(float tempC, float pressureBar, const Array1<double>& pmcActivities,
                   const Array1<double>& composition, Array1<double>& amounts,
                   Array1<double>& lnActivities, std::int16_t& scratch) override {
        scratch = 0;
        ++script_.Calculations;
        if (script_.Calculations == 1) script_.Calls.push_back("Calculate");
        if (script_.FailFromCalculation > 0 &&
            script_.Calculations >= script_.FailFromCalculation) {
            message_ = script_.FailureText;
            return;
        }
        Equilibrium e;
        e.TempC = tempC;
        e.PressureBar = pressureBar;
        e.PmcActivities = &pmcActivities;
        e.Composition = &composition;
        e.Values = &values_;
        e.Amounts = &amounts;
        e.LnActivities = &lnActivities;
        e.Ph = ph_;
        if (script_.Law) script_.Law(e);
        titrant_ = e.Titrant;
        message_ = "OK";
    }
    std::string GetDatabase() override { return script_.Database; }
    std::string GetSystemFile() override { return script_.SystemFile; }
    std::string GetOptions() override { return script_.Options; }
    void Close() override {
        script_.Calls.push_back("Close");
        ++script_.Closed;
    }

  private:
    EngineScript& script_;
    std::string message_;
    std::map<std::int16_t, float> values_;
    double ph_ = std::nan("");
    double titrant_ = 0;
};

class ScriptedSystemReader : public ISystemReader {
  public:
    explicit ScriptedSystemReader(EngineScript& script) : script_(script) {}
    void ReadSystem(const std::string& systemFile, SystemInfo& info, std::int16_t& flag) override {
        script_.Calls.push_back("ReadSystem " + systemFile);
        info = script_.System;
        flag = 0;
    }

  private:
    EngineScript& script_;
};

void Refuse(const EngineScript& script) {
    if (script.RefuseToCreate) throw RuntimeFailure(kEngineFailure, "cannot create");
}

}  // namespace

double Equilibrium::Value(std::int16_t position, double fallback) const {
    const auto it = Values->find(position);
    return it == Values->end() ? fallback : it->second;
}

void Equilibrium::SetMolal(std::int16_t position, double molal) {
    (*Amounts)[position] = molal;
    (*LnActivities)[position] = molal > 0 ? std::log(molal) - kLnWaterMoles : -700.0;
}

void Equilibrium::SetLog10Activity(std::int16_t position, double log10Activity) {
    (*Amounts)[position] = 1;
    (*LnActivities)[position] = log10Activity / kLog10E - kLnWaterMoles;
}

std::unique_ptr<ISolver> ScriptedEngine::CreateSolver(const std::string&) {
    Refuse(script_);
    return std::make_unique<ScriptedSolver>(script_);
}

std::unique_ptr<IThermo> ScriptedEngine::CreateThermo(const std::string&) {
    Refuse(script_);
    return std::make_unique<TableThermo>(script_.Thermo);
}

std::unique_ptr<ISystemReader> ScriptedEngine::CreateSystemReader(const std::string&) {
    Refuse(script_);
    return std::make_unique<ScriptedSystemReader>(script_);
}

void ComplexationLaw(Equilibrium& e) {
    const double rt = (e.TempC + 273.15) * 0.008314411328;
    const double sodium = e.Value(kSodium, -261.881);
    const double chloride = e.Value(kChloride, -131.29);
    const double k1 = std::exp(-(e.Value(kNaClComplex, -388.74) - sodium - chloride) / rt);
    const double k2 = std::exp(-(e.Value(kNaCl2Complex, -516.0) - sodium - 2 * chloride) / rt);
    // HCl,aq takes part only far above any real value, which lets a test make a species
    // that the model ignores near the optimum.
    const double hcl = std::max(0.0, e.Value(kHClComplex, -127.2) - 2000) * 1e-3;

    const double na = e.Element(3);
    const double cl = e.Element(4);
    const double free = na / (1 + k1 * cl + k2 * cl * cl + hcl * cl);
    for (int i = 1; i <= e.Amounts->Upper(); ++i)
        e.SetMolal(static_cast<std::int16_t>(i), 0);
    (*e.Amounts)[kHalite] = na > 6 ? 1 : 0;
    (*e.Amounts)[kSolvent] = 55.50843;
    (*e.LnActivities)[kSolvent] = 0;
    e.SetMolal(kHydrogen, 1e-7);
    e.SetMolal(kHydroxide, 1e-7);
    const double complex1 = k1 * free * cl;
    const double complex2 = k2 * free * cl * cl;
    e.SetMolal(kSodium, free);
    // Chloride in excess: its free amount is what the complexes leave of the total.
    e.SetMolal(kChloride, cl - complex1 - 2 * complex2);
    e.SetMolal(kNaClComplex, complex1);
    e.SetMolal(kNaCl2Complex, complex2);
}

EngineScript NaClScript() {
    EngineScript script;
    TableThermo& t = script.Thermo;
    t.TypeCodes = {{"O2,g", 3100},  {"H2O", 2100},   {"Halite", 2200},  {"Quartz", 2300},
                   {"H2O,aq", 0},   {"H+", 1},       {"OH-", 2},        {"Na+", 10},
                   {"Cl-", 11},     {"SiO2,aq", 12}, {"NaCl,aq", 1030}, {"NaCl2-", 1031},
                   {"HCl,aq", 1032}};
    t.ElementCodes = {{"H", 1}, {"O", 8}, {"Na", 11}, {"Si", 14}, {"Cl", 17}};
    t.Formulas = {{"NaCl", {{11, 1.0f}, {17, 1.0f}}},
                  {"HCl", {{1, 1.0f}, {17, 1.0f}}},
                  {"H2O", {{1, 2.0f}, {8, 1.0f}}},
                  {"SiO2", {{14, 1.0f}, {8, 2.0f}}}};
    t.Potentials = {{3100, 0.0f},    {2100, -237.14f}, {2200, -384.14f}, {2300, -856.3f},
                    {10, -261.881f}, {11, -131.29f},   {12, -833.4f},    {1030, -388.74f},
                    {1031, -516.0f}, {1032, -127.2f}};

    SystemInfo& s = script.System;
    s.ElementCount = 4;
    s.SubstanceCount = 2;
    s.HasAqueous = 1;
    s.LastAqueous = 11;
    s.Phases = {{0, 0, 2}, {1, 2, 1}, {2, 3, 8}};
    s.ElementCodes.Redim(4);
    const std::int16_t codes[] = {0, 1, 8, 11, 17};  // H, O, Na, Cl
    for (int e = 1; e <= 4; ++e)
        s.ElementCodes[e] = codes[e];
    s.SpeciesNames.Redim(11);
    const char* names[] = {"",    "O2,g", "H2O", "Halite",  "H2O,aq", "H+",
                           "OH-", "Na+",  "Cl-", "NaCl,aq", "NaCl2-", "HCl,aq"};
    for (int i = 1; i <= 11; ++i)
        s.SpeciesNames[i] = names[i];
    // Stoichiometry, (element, species): H = 1, O = 2, Na = 3, Cl = 4.
    s.Stoich.Redim(4, 11);
    const float stoich[5][12] = {{},
                                 {0, 0, 2, 0, 2, 1, 1, 0, 0, 0, 0, 1},
                                 {0, 2, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0},
                                 {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0},
                                 {0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 2, 1}};
    for (int e = 1; e <= 4; ++e) {
        for (int i = 1; i <= 11; ++i)
            s.Stoich(e, i) = stoich[e][i];
    }
    script.Law = ComplexationLaw;
    return script;
}

}  // namespace varsel::test
