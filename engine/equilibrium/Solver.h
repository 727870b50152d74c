// The engine's Solver object: database, options and System of an engine session, and the
// chemical equilibrium of one kilogram of solvent (GibbsSolver.h) at the temperature,
// pressure, p.m.c. activities and composition of each call, with the standard potentials of
// the open database and the species values the caller overrides.
//
// Options (SetOptions; read as services/EngineContract.h reads them: switches start with "/",
// letter case and blanks do not matter, anything else is ignored): /wp, /bl and /ew choose the
// standard-property models as for the Thermo object; /mode=1 asks for results as the fitting
// program reads them (the only mode; any other digit means the same); /cold makes every
// calculation start from scratch instead of from the previous result; /trace prints the
// solver's iterations on standard error; /act=NAME chooses the activity model of the solution
// (ActivityChoice.h: bdot, the default, hkf81, pitzer or ideal; an unknown name makes every
// calculation fail with a message naming the known ones); /ph=molal makes an imposed pH
// (SetPh) −log m(H+) instead of −log a(H+) (/ph=activity, the default).
// Numbered switches (SetSwitch): kTraceSwitch (27) prints the iterations when non-zero (0:
// silent, the default); kWarmStartSwitch (28) turns the warm start off when 0 (1: on, the
// default). Others are ignored.
#pragma once

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/equilibrium/ActivityChoice.h"
#include "engine/equilibrium/GibbsSolver.h"
#include "engine/equilibrium/SystemModel.h"
#include "services/Engine.h"

namespace varsel::engine {

class EngineSession;

namespace equilibrium {

class Solver : public ISolver {
  public:
    explicit Solver(std::shared_ptr<EngineSession> session);
    ~Solver() override;

    void OpenDatabase(const std::string& name) override;
    void SetOptions(const std::string& options) override;
    void LoadSystem(const std::string& systemFile) override;
    std::string GetMessage() override { return message_; }
    void SetSwitch(std::int16_t which, std::int16_t value) override;
    void SetSpeciesValue(std::int16_t position, float value) override;
    void Calculate(float tempC, float pressureBar, const Array1<double>& pmcActivities,
                   const Array1<double>& composition, Array1<double>& amounts,
                   Array1<double>& lnActivities, std::int16_t& scratch) override;
    void SetPh(double ph) override { ph_ = ph; }
    double GetTitrantAmount() override;
    std::string GetDatabase() override { return database_; }
    std::string GetSystemFile() override { return systemFile_; }
    std::string GetOptions() override { return options_; }
    void Close() override;

    /// The System loaded last (nullptr before LoadSystem succeeds).
    const SystemModel* System() const { return system_.get(); }
    /// The equilibrium state of the last successful Calculate.
    const EquilibriumResult* LastResult() const;
    /// The pH (−log a of H+) of the last successful Calculate; 0 when the System has no H+
    /// (the ionic strength is in LastResult()).
    double LastPh() const;

  private:
    bool PrepareConditions(float tempC, float pressureBar);
    // Builds the solver of the loaded System with the chosen activity model.
    void BuildSolver();
    void Reject(Array1<double>& amounts, Array1<double>& lnActivities, const std::string& why);

    std::shared_ptr<EngineSession> session_;
    std::string message_;
    std::string database_, options_, systemFile_;
    bool closed_ = false;
    bool warmStart_ = true;
    bool trace_ = false;
    ActivityKind activity_ = ActivityKind::Bdot;
    bool phMolal_ = false;                                  // /ph=molal: the pH is −log m(H+)
    double ph_ = std::numeric_limits<double>::quiet_NaN();  // imposed by SetPh
    std::string badOption_;                                 // an unknown name in the options
    std::string optionsError_;  // why the chosen activity model cannot take the System

    std::unique_ptr<SystemModel> system_;
    std::unique_ptr<GibbsSolver> solver_;
    std::vector<std::int16_t> codes_;  // type codes in the session's calculator, System order
    EquilibriumConditions conditions_;

    // Standard potentials (kJ/mol) at the conditions of the cache, System order; overrides.
    bool cacheValid_ = false;
    float cacheTempC_ = 0, cachePressure_ = 0;
    unsigned long cacheVersion_ = 0;
    std::vector<double> standard_;
    std::vector<double> override_;
    std::vector<char> overridden_;
    std::string pendingError_;
    double rt_ = 0;
    bool haveResult_ = false;
};

}  // namespace equilibrium
}  // namespace varsel::engine
