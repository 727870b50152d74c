// The engine's Thermo object: substance look-up, formulas and elements, water properties and
// standard potentials, in the units of the engine interface (services/Engine.h): T in K,
// P in bar, density in g/cm³, potentials in kJ/mol except WaterPotential and Type2Potential
// (J/mol). WaterProperty gives the static dielectric constant of water, which the aqueous
// potential calls take back.
//
// Type codes. 0 is the solvent "H2O,aq", 1 H+, 2 OH- (from the water potential and log Kw).
// The other codes are handles that this object hands out on the first GetTypeCode of a
// substance and keeps while the database stays open: 3–1023 aqueous species with their own
// revised-HKF parameters (or with too few data to compute anything), 1024–2047 aqueous
// species with HKF parameters estimated from ΔfG°, ΔfH° and S° (HkfEstimate.h), 2048–3071
// condensed substances (minerals and the water substance "H2O"), 3072 and above gases
// (the ranges are named in services/EngineContract.h, which the callers share).
// A database holds more aqueous species than the first range has codes; handing codes out on
// demand serves any System, which names a few dozen.
//
// Limits. Unless SetIgnoreLimits(true): 0–1000 °C, pressures up to 5000 bar and, for aqueous
// species, a water density of at least 0.32 g/cm³. Outside them, for a missing parameter, an
// unknown code or anything the water functions cannot compute, a potential or property comes
// back as 1e35 (a magnitude above 1e33), never as NaN. Pressures must be positive in any case.
//
// Modes (SetModes, the option-flag word): 1 (/wp) the solvent function g is switched off, so
// ω of charged species keeps its reference value (the HKF form before Shock et al. 1992);
// 2 (/bl) log Kw of Marshall & Franck (1981) instead of Bandura & Lvov (2006) for OH-;
// 4 (/ew) the dielectric constant of IAPWS R8-97 (Fernández et al. 1997) instead of Johnson &
// Norton (1991), for WaterProperty and the Born reference state; bit 14 (16384) means nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/thermo/Database.h"
#include "engine/thermo/Solvent.h"
#include "services/Engine.h"
#include "services/EngineContract.h"

namespace varsel::engine::thermo {

class Thermo : public IThermo {
  public:
    /// `workFolder`: where OpenDatabase looks first for a database named without a path.
    explicit Thermo(std::filesystem::path workFolder = {});

    /// Opens a database by name (DataFolders.h). flag is set to 0. Throws RuntimeFailure
    /// (kEngineFailure) with the reader's message when it cannot be opened.
    void OpenDatabase(const std::string& name, std::int16_t& flag) override;
    void SetIgnoreLimits(bool ignore) override { ignoreLimits_ = ignore; }
    bool IgnoresLimits() const { return ignoreLimits_; }
    void SetModes(std::int16_t flags) override { modes_ = Modes::FromFlags(flags); }

    /// Index (1 … number of substances) of a substance, −1 when there is none of that name.
    std::int16_t FindSubstance(const std::string& name) override;
    std::int16_t GetTypeCode(std::int16_t index) override;

    std::int16_t GetElementCode(const std::string& symbol) override;
    std::string GetFormulaElements(const std::string& formula) override;
    float GetElementAmount(const std::string& formula, std::int16_t elementCode) override;

    float SaturationPressure(float tempK) override;
    float WaterDensity(float tempK, float& pressureBar, std::int16_t& flag) override;
    float WaterProperty(float tempK, float density) override;
    float WaterPotential(float tempK, float pressureBar, float density) override;
    float Type2Potential(float tempK, float density, float waterPotential) override;
    float AqueousPotential(std::int16_t code, float tempK, float pressureBar, float density,
                           float waterProperty) override;
    float AqueousPotentialEx(std::int16_t code, float tempK, float pressureBar, float density,
                             float waterProperty, std::int16_t& flag) override;
    /// Condensed substances at T and P; for a gas code, as GasPotential.
    float SubstancePotential(std::int16_t code, float tempK, float pressureBar,
                             std::int16_t& flag) override;
    /// The pure ideal gas at T and P: G°(T) + RT ln(P / 1 bar); at 1 bar the standard potential.
    float GasPotential(std::int16_t code, float tempK, float pressureBar) override;

    /// Uses a database built elsewhere (tests, tools) as if it had been opened.
    void UseDatabase(Database database);
    /// The open database, or nullptr.
    const Database* OpenedDatabase() const { return database_.get(); }
    /// The substance a type code stands for, or nullptr.
    const SpeciesRecord* RecordOfCode(std::int16_t code) const;
    Modes CurrentModes() const { return modes_; }
    /// What about the water at T (K), P (bar) and density (g/cm³) keeps aqueous potentials
    /// from being computed, in words for a message, or "" (AqueousWaterProblem, Solvent.h).
    std::string AqueousWaterProblem(float tempK, float pressureBar, float density) const;

  private:
    bool TemperatureInRange(double tempK) const;
    bool PressureInRange(double pressureBar) const;
    float AqueousIn(std::int16_t first, std::int16_t last, std::int16_t code, float tempK,
                    float pressureBar, float density, float epsilon) const;

    std::filesystem::path workFolder_;
    std::shared_ptr<const Database> database_;
    bool ignoreLimits_ = false;
    Modes modes_;
    // Handed-out codes: per range, the database index of each code (code − first code).
    std::vector<std::size_t> hkfCodes_, estimatedCodes_, condensedCodes_, gasCodes_;
    std::unordered_map<std::size_t, std::int16_t> codeOfIndex_;
};

}  // namespace varsel::engine::thermo
