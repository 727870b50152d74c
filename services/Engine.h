// What the program asks of the thermodynamic engine: three objects, Solver, Thermo and
// SystemReader, and a factory that creates them for a run.
//
// Units at this interface: temperatures in K (TempK) or °C (TempC, only for
// Solver::Calculate), pressures in bar, water density in g/cm³, chemical potentials in kJ/mol
// at the run's T and P, except WaterPotential and Type2Potential, which are in J/mol. A
// potential that cannot be computed comes back with a magnitude above 1e33. The type-code
// ranges and the constants both sides share are in services/EngineContract.h.
//
// The engine reports its verdicts as message texts (Solver::GetMessage): empty after
// OpenDatabase and SetOptions, "System file accepted" after LoadSystem, "OK" after Calculate;
// any other text is a failure. A call that cannot be carried out at all raises a
// RuntimeFailure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/Arrays.h"
#include "model/SystemInfo.h"

namespace varsel {

/// Database, options, System file, chemical equilibrium and messages.
class ISolver {
  public:
    virtual ~ISolver() = default;

    /// Opens a thermodynamic database by name; the message is then empty.
    virtual void OpenDatabase(const std::string& name) = 0;
    /// Hands the options text (the data file's options followed by "/mode=1") to the engine;
    /// the message is then empty.
    virtual void SetOptions(const std::string& options) = 0;
    /// Loads a System file; the message is then "System file accepted".
    virtual void LoadSystem(const std::string& systemFile) = 0;
    /// The last message; reading it twice gives it twice.
    virtual std::string GetMessage() = 0;
    /// Sets one of the engine's numbered switches.
    virtual void SetSwitch(std::int16_t which, std::int16_t value) = 0;
    /// Overrides the standard potential (kJ/mol) of the species at `position` (its index in
    /// SystemInfo::SpeciesNames minus SubstanceCount) for the following calculations.
    virtual void SetSpeciesValue(std::int16_t position, float value) = 0;
    /// Chemical equilibrium of one kilogram of solvent at tempC (°C) and pressureBar (bar).
    /// pmcActivities: 0 .. SubstanceCount, the activity of each p.m.c. slot (index 0 unused).
    /// composition: 0 .. ElementCount; element 0 holds the moles of H2O, e the moles of
    /// element e. amounts and lnActivities: 0 .. LastAqueous - SubstanceCount; position i
    /// belongs to species i + SubstanceCount and receives its amount (mol) and the natural
    /// logarithm of its activity on the mole-fraction scale. The message is then "OK".
    virtual void Calculate(float tempC, float pressureBar, const Array1<double>& pmcActivities,
                           const Array1<double>& composition, Array1<double>& amounts,
                           Array1<double>& lnActivities, std::int16_t& scratch) = 0;
    /// Imposes the pH of the solution on the following calculations, until the next LoadSystem:
    /// −log a(H+), or −log m(H+) (m in mol/kg) when the options hold /ph=molal. The engine adds
    /// the acid or the base that the System names as titrants until the equilibrium meets it.
    /// NaN lifts it. With a System that names no titrant, a calculation with a pH fails.
    virtual void SetPh(double ph) = 0;
    /// The titrant that the last successful Calculate added to meet the imposed pH, in mol
    /// (per kilogram of water when the composition gives 55.50843 mol of H2O): the acid when
    /// positive, the base when negative; 0 without an imposed pH or after a failure.
    virtual double GetTitrantAmount() = 0;
    virtual std::string GetDatabase() = 0;
    virtual std::string GetSystemFile() = 0;
    virtual std::string GetOptions() = 0;
    /// Ends the session; the object is released afterwards.
    virtual void Close() = 0;
};

/// Substance data, standard potentials, water properties, formulas and elements.
class IThermo {
  public:
    virtual ~IThermo() = default;

    virtual void OpenDatabase(const std::string& name, std::int16_t& flag) = 0;
    /// When set, out-of-range temperatures, pressures and densities are computed anyway.
    virtual void SetIgnoreLimits(bool ignore) = 0;
    /// The option-flag word: bit 14 always set, 1 = wp, 2 = bl, 4 = ew.
    virtual void SetModes(std::int16_t flags) = 0;

    /// Index of a substance in the open database (any value; pass it to GetTypeCode).
    virtual std::int16_t FindSubstance(const std::string& name) = 0;
    /// Type code of the substance at `index`; below 0 when there is no such substance.
    virtual std::int16_t GetTypeCode(std::int16_t index) = 0;

    /// Element code (atomic number) of an element symbol, 0 when there is no such element.
    virtual std::int16_t GetElementCode(const std::string& symbol) = 0;
    /// The elements of a formula: one character per element, its code the element code.
    /// An invalid formula gives a text whose last character has code 0.
    virtual std::string GetFormulaElements(const std::string& formula) = 0;
    /// Amount of the element with code `elementCode` in one formula unit.
    virtual float GetElementAmount(const std::string& formula, std::int16_t elementCode) = 0;

    /// Liquid-vapour saturation pressure of water (bar) at tempK.
    virtual float SaturationPressure(float tempK) = 0;
    /// Density of water (g/cm³) at tempK and pressureBar (bar).
    virtual float WaterDensity(float tempK, float& pressureBar, std::int16_t& flag) = 0;
    /// The water property that the aqueous potential calls need, handed on unchanged.
    virtual float WaterProperty(float tempK, float density) = 0;
    /// Apparent Gibbs energy of formation of water (J/mol).
    virtual float WaterPotential(float tempK, float pressureBar, float density) = 0;
    /// Standard potential of the type-2 species OH- (J/mol).
    virtual float Type2Potential(float tempK, float density, float waterPotential) = 0;
    /// Standard potential (kJ/mol) of an aqueous species with type code 3 .. 1023.
    virtual float AqueousPotential(std::int16_t code, float tempK, float pressureBar, float density,
                                   float waterProperty) = 0;
    /// Standard potential (kJ/mol) of an aqueous species with type code 1024 .. 2047.
    virtual float AqueousPotentialEx(std::int16_t code, float tempK, float pressureBar,
                                     float density, float waterProperty, std::int16_t& flag) = 0;
    /// Standard potential (kJ/mol) of a condensed substance (type code 2048 .. 3071).
    virtual float SubstancePotential(std::int16_t code, float tempK, float pressureBar,
                                     std::int16_t& flag) = 0;
    /// Standard potential (kJ/mol) of a gas (type code 3072 and above).
    virtual float GasPotential(std::int16_t code, float tempK, float pressureBar) = 0;
};

/// Reads a System file into a SystemInfo record.
class ISystemReader {
  public:
    virtual ~ISystemReader() = default;
    virtual void ReadSystem(const std::string& systemFile, SystemInfo& info,
                            std::int16_t& flag) = 0;
};

/// Creates the three engine objects of a run. Objects created by one factory while others
/// of it are alive share one engine session, so that the System reader sees the database
/// the Solver opened. Relative database and System names are resolved in `workFolder` first.
class IEngineFactory {
  public:
    virtual ~IEngineFactory() = default;
    virtual std::unique_ptr<ISolver> CreateSolver(const std::string& workFolder) = 0;
    virtual std::unique_ptr<IThermo> CreateThermo(const std::string& workFolder) = 0;
    virtual std::unique_ptr<ISystemReader> CreateSystemReader(const std::string& workFolder) = 0;
};

}  // namespace varsel
