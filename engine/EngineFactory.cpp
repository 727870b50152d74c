#include "engine/EngineFactory.h"

#include "engine/equilibrium/EngineSession.h"
#include "engine/equilibrium/Solver.h"
#include "engine/equilibrium/SystemReader.h"
#include "engine/thermo/Thermo.h"

namespace varsel::engine {

namespace {

// The Thermo object of a run: the thermo library's own, with the settings that decide how
// potentials are computed (modes, ignored limits) passed on to the session's calculator too,
// so that the Solver computes the p.m.c. reference potentials as the caller does.
class SessionThermo : public IThermo {
  public:
    SessionThermo(std::shared_ptr<EngineSession> session, const std::string& workFolder)
        : session_(std::move(session)), inner_(workFolder) {}

    void OpenDatabase(const std::string& name, std::int16_t& flag) override {
        inner_.OpenDatabase(name, flag);
    }
    void SetIgnoreLimits(bool ignore) override {
        inner_.SetIgnoreLimits(ignore);
        session_->Calculator().SetIgnoreLimits(ignore);
        session_->SettingsChanged();
    }
    void SetModes(std::int16_t flags) override {
        inner_.SetModes(flags);
        session_->Calculator().SetModes(flags);
        session_->SettingsChanged();
    }
    std::int16_t FindSubstance(const std::string& name) override {
        return inner_.FindSubstance(name);
    }
    std::int16_t GetTypeCode(std::int16_t index) override { return inner_.GetTypeCode(index); }
    std::int16_t GetElementCode(const std::string& symbol) override {
        return inner_.GetElementCode(symbol);
    }
    std::string GetFormulaElements(const std::string& formula) override {
        return inner_.GetFormulaElements(formula);
    }
    float GetElementAmount(const std::string& formula, std::int16_t code) override {
        return inner_.GetElementAmount(formula, code);
    }
    float SaturationPressure(float tempK) override { return inner_.SaturationPressure(tempK); }
    float WaterDensity(float tempK, float& pressureBar, std::int16_t& flag) override {
        return inner_.WaterDensity(tempK, pressureBar, flag);
    }
    float WaterProperty(float tempK, float density) override {
        return inner_.WaterProperty(tempK, density);
    }
    float WaterPotential(float tempK, float pressureBar, float density) override {
        return inner_.WaterPotential(tempK, pressureBar, density);
    }
    float Type2Potential(float tempK, float density, float waterPotential) override {
        return inner_.Type2Potential(tempK, density, waterPotential);
    }
    float AqueousPotential(std::int16_t code, float tempK, float pressureBar, float density,
                           float property) override {
        return inner_.AqueousPotential(code, tempK, pressureBar, density, property);
    }
    float AqueousPotentialEx(std::int16_t code, float tempK, float pressureBar, float density,
                             float property, std::int16_t& flag) override {
        return inner_.AqueousPotentialEx(code, tempK, pressureBar, density, property, flag);
    }
    float SubstancePotential(std::int16_t code, float tempK, float pressureBar,
                             std::int16_t& flag) override {
        return inner_.SubstancePotential(code, tempK, pressureBar, flag);
    }
    float GasPotential(std::int16_t code, float tempK, float pressureBar) override {
        return inner_.GasPotential(code, tempK, pressureBar);
    }

  private:
    std::shared_ptr<EngineSession> session_;
    thermo::Thermo inner_;
};

}  // namespace

EngineFactory::EngineFactory() = default;
EngineFactory::~EngineFactory() = default;

std::shared_ptr<EngineSession> EngineFactory::Session(const std::string& workFolder) {
    std::shared_ptr<EngineSession> session = session_.lock();
    if (!session) {
        session = std::make_shared<EngineSession>(workFolder);
        session_ = session;
    }
    return session;
}

std::unique_ptr<ISolver> EngineFactory::CreateSolver(const std::string& workFolder) {
    return std::make_unique<equilibrium::Solver>(Session(workFolder));
}

std::unique_ptr<IThermo> EngineFactory::CreateThermo(const std::string& workFolder) {
    return std::make_unique<SessionThermo>(Session(workFolder), workFolder);
}

std::unique_ptr<ISystemReader> EngineFactory::CreateSystemReader(const std::string& workFolder) {
    return std::make_unique<equilibrium::SystemReader>(Session(workFolder));
}

}  // namespace varsel::engine
