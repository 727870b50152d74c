// Standard properties and equilibria from Varsel's engine without a data file: the standard
// potential of a substance, the state of water and the energy of a reaction at a temperature
// and pressure, and the chemical equilibrium of one kilogram of water with a System. They are
// the numbers varsel-thermo prints, computed by the same code and refused in the same words.
// The Python module's Engine is a thin layer over this class.
//
//   varsel::PropertyCalculator engine("thermo");
//   double g = engine.Potential("Na+", 25.0, varsel::Pressure{1.0}).Gibbs;   // kJ/mol
//
// Units: temperatures in °C, pressures in bar, potentials in kJ/mol (the water potential in
// J/mol, as varsel-thermo gives it), molalities in mol/kg of water. A calculator serves one
// thread at a time; calculators on separate threads are independent.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace varsel {

/// Why the engine gave no answer; the message names the values that caused it.
class PropertyError : public std::runtime_error {
  public:
    enum class Kind {
        Argument,  ///< a value or name that cannot be used (not finite, an unknown activity model)
        Refused,   ///< nothing to compute here: outside the limits, steam, an unknown substance
        Database   ///< the database or System cannot be found or read
    };
    PropertyError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind What() const { return kind_; }

  private:
    Kind kind_;
};

/// The engine's models and limits, as varsel-thermo's options set them.
struct PropertySettings {
    /// Where databases and Systems named without a path are looked for first (then among the
    /// data that ship with the program); empty: the current folder.
    std::string WorkFolder;
    /// Compute outside 0–1000 °C, 5000 bar and a water density of 0.32 g/cm³.
    bool IgnoreLimits = false;
    bool ConstantOmega = false;        ///< the Born coefficient of ions constant (no g function)
    bool MarshallFranckKw = false;     ///< log Kw of Marshall & Franck (1981)
    bool FernandezDielectric = false;  ///< the dielectric constant of IAPWS R8-97
    /// How a message tells the user to lift the limits ("IgnoreLimits lifts it").
    std::string LiftLimits = "IgnoreLimits";
};

/// A pressure: in bar, or the liquid–vapour saturation pressure (1 bar below 100 °C).
struct Pressure {
    double Bar = 1.0;
    bool Saturation = false;
    static Pressure Saturated() { return {0.0, true}; }
};

struct StandardPotential {
    std::string Name;   ///< as the database names it (a name in other letter case finds it)
    int TypeCode = -1;  ///< the engine's type code of the substance
    double Gibbs = 0;   ///< apparent standard Gibbs energy of formation, kJ/mol
    std::string Model;  ///< how it was computed ("HKF", "Maier-Kelley", "ideal gas, 1 bar" …)
};

struct WaterState {
    double PressureBar = 0;  ///< the pressure used (the saturation pressure when asked for)
    double Density = 0;      ///< g/cm³
    double Dielectric = 0;   ///< static dielectric constant
    /// bar; none above the critical temperature
    std::optional<double> SaturationPressureBar;
    double Gibbs = 0;      ///< apparent standard Gibbs energy of formation, J/mol
    double LogKw = 0;      ///< decimal logarithm of the ionisation constant of water
    double GFunction = 0;  ///< solvent function g of Shock et al. (1992), Å
};

struct ReactionState {
    /// The terms: coefficient (negative for reactants), name, standard potential (kJ/mol).
    struct Term {
        double Coefficient = 0;
        std::string Name;
        double Gibbs = 0;
    };
    std::vector<Term> Terms;
    double DeltaG = 0;  ///< kJ/mol
    double LogK = 0;
    /// The elements and charge left over ("H 2.000, O 1.000"); empty when balanced.
    std::string Imbalance;
};

struct EquilibriumRequest {
    std::string System;  ///< a System name or file
    double TemperatureC = 25.0;
    varsel::Pressure Pressure;
    /// In order: a p.m.c. name with its activity (1 when not given), a formula with the
    /// amount dissolved in the kilogram of water (mol; formulas add up).
    std::vector<std::pair<std::string, double>> Composition;
    std::optional<double> Ph;       ///< a pH to impose with the System's titrants
    bool MolalPh = false;           ///< the imposed pH is −log m(H+) instead of −log a(H+)
    std::string Activity = "bdot";  ///< the activity model: bdot, hkf81, pitzer or ideal
};

struct EquilibriumResult {
    double PressureBar = 0;                           ///< the pressure used
    std::vector<std::pair<std::string, double>> Pmc;  ///< the p.m.c. and their activities
    /// The System's substances outside the solution (minerals, gases): amount (mol, 0 where
    /// not stable) and decimal log of the activity.
    std::vector<std::string> Phases;
    std::vector<double> PhaseAmounts, PhaseLogActivities;
    double WaterLogActivity = 0;
    /// The solutes: molality (mol/kg), decimal log of the activity, decimal log of the
    /// activity coefficient (NaN where the molality is 0).
    std::vector<std::string> Species;
    std::vector<double> Molalities, LogActivities, LogGammas;
    std::optional<double> OsmoticCoefficient;  ///< none where water is held at activity 1
    double Ph = 0;
    double Titrant = 0;  ///< mol of Acid (> 0) or of Base (< 0) added to impose the pH
    std::string Acid, Base;
    double IonicStrength = 0;  ///< mol/kg
};

class PropertyCalculator {
  public:
    /// Opens a database by name or path. Throws PropertyError (Database).
    explicit PropertyCalculator(const std::string& database = "thermo",
                                const PropertySettings& settings = {});
    PropertyCalculator(PropertyCalculator&&) noexcept;
    PropertyCalculator& operator=(PropertyCalculator&&) noexcept;
    ~PropertyCalculator();

    /// The database file that was opened.
    std::string DatabaseFile() const;

    /// Each of these throws PropertyError.
    StandardPotential Potential(const std::string& name, double temperatureC, Pressure pressure);
    WaterState Water(double temperatureC, Pressure pressure) const;
    /// `reaction` as varsel-thermo reads it: "CALCITE + 2 H+ = Ca+2 + CO2,aq + H2O".
    ReactionState Reaction(const std::string& reaction, double temperatureC, Pressure pressure);
    /// The equilibrium, computed in an engine session of its own (as varsel-thermo does).
    EquilibriumResult Equilibrium(const EquilibriumRequest& request) const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace varsel
