// A Thermo object for tests whose answers come from tables the test fills: substances with
// their type codes, element symbols with their codes, formulas with their element amounts,
// and potentials by type code. Everything not in a table gives the engine's "not found" or
// "cannot compute" answer.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "services/Engine.h"

namespace varsel::test {

class TableThermo : public IThermo {
  public:
    std::map<std::string, std::int16_t> TypeCodes;     ///< substance name -> type code
    std::map<std::string, std::int16_t> ElementCodes;  ///< element symbol -> code
    /// formula -> (element code, amount) in the order GetFormulaElements lists them
    std::map<std::string, std::vector<std::pair<std::int16_t, float>>> Formulas;
    std::map<std::int16_t, float> Potentials;  ///< type code -> potential (kJ/mol)
    float SaturationBar = 0.0317f;
    float Density = 0.997f;
    float WaterGibbs = -237181.0f;      ///< J/mol
    float HydroxideGibbs = -157297.0f;  ///< J/mol
    bool IgnoreLimits = false;
    std::int16_t Modes = 0;
    std::string OpenedDatabase;

    void OpenDatabase(const std::string& name, std::int16_t& flag) override;
    void SetIgnoreLimits(bool ignore) override { IgnoreLimits = ignore; }
    void SetModes(std::int16_t flags) override { Modes = flags; }
    std::int16_t FindSubstance(const std::string& name) override;
    std::int16_t GetTypeCode(std::int16_t index) override;
    std::int16_t GetElementCode(const std::string& symbol) override;
    std::string GetFormulaElements(const std::string& formula) override;
    float GetElementAmount(const std::string& formula, std::int16_t elementCode) override;
    float SaturationPressure(float) override { return SaturationBar; }
    float WaterDensity(float, float&, std::int16_t&) override { return Density; }
    float WaterProperty(float, float) override { return 78.4f; }
    float WaterPotential(float, float, float) override { return WaterGibbs; }
    float Type2Potential(float, float, float) override { return HydroxideGibbs; }
    float AqueousPotential(std::int16_t code, float, float, float, float) override {
        return PotentialOf(code);
    }
    float AqueousPotentialEx(std::int16_t code, float, float, float, float, std::int16_t&) override;
    float SubstancePotential(std::int16_t code, float, float, std::int16_t&) override;
    float GasPotential(std::int16_t code, float, float) override { return PotentialOf(code); }

  private:
    float PotentialOf(std::int16_t code) const;
    std::vector<std::string> names_;  // FindSubstance indices, from 1
};

}  // namespace varsel::test
