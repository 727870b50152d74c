// The interface of an activity model of the aqueous solution: the natural logarithms of the
// molal activity coefficients of the solutes and of the activity of water, for one
// temperature, pressure and composition.
//
// A model is built once for a fixed list of solutes (its preparation may read files and
// allocate) and is then evaluated for many states; Evaluate allocates nothing. Models refuse
// what they cannot describe with varsel::RuntimeFailure(kEngineFailure) and a message that
// names the values.
#pragma once

#include <span>
#include <string>

namespace varsel::engine::activity {

/// Molar mass of water, kg/mol; 1/kWaterMolarMass is the number of moles in a kilogram.
inline constexpr double kWaterMolarMass = 0.018015268;

/// One solute as the models see it.
struct Solute {
    std::string Name;   ///< as in the species list (for the Pitzer file: "Na+", "SO4-2", "CO2")
    double Charge = 0;  ///< in elementary charges
    double Omega = 0;   ///< conventional Born coefficient ω of the HKF equations, cal/mol
    /// ½ Σ ν z² of the free ions the species stands for in the stoichiometric ionic strength
    /// (an ion pair counted dissociated); 0 means the species' own ½ z².
    double Dissociated = 0;
};

/// The state a model is evaluated at. The water properties come from the engine's water
/// substance (IAPWS-95 density, the dielectric constant the engine uses).
struct SolutionState {
    double Temperature = 0;            ///< K
    double Pressure = 0;               ///< bar
    double WaterDensity = 0;           ///< kg/m³
    double Epsilon = 0;                ///< static dielectric constant of water
    std::span<const double> Molality;  ///< mol/kg water, in the order of the model's solutes
};

class ActivityModel {
  public:
    virtual ~ActivityModel() = default;

    /// ln γ of every solute (molal scale, same order as the solutes) and ln a_w.
    /// `lnGamma` must have as many elements as the model has solutes.
    virtual void Evaluate(const SolutionState& state, std::span<double> lnGamma,
                          double& lnWaterActivity) = 0;

    /// With `ignore`, a model whose parameters are tabulated over a range takes those of the
    /// nearest tabulated state outside it instead of refusing the state.
    virtual void SetIgnoreLimits(bool ignore) { (void)ignore; }

    /// The short name the options text uses for the model ("hkf81", "pitzer").
    virtual const char* Name() const = 0;
};

/// Decimal-log Debye-Hückel slope A (kg^½/mol^½) and B (kg^½/(mol^½·Å)) of the state, from
/// the water density and dielectric constant (the engine's B-dot model uses the same values).
struct DebyeHuckelSlopes {
    double A = 0;
    double B = 0;
};
DebyeHuckelSlopes SlopesOf(const SolutionState& state);

/// σ(x) = (3/x³)[1 + x − 1/(1 + x) − 2 ln(1 + x)] of the Debye-Hückel osmotic coefficient,
/// accurate also for small x (the same function the B-dot model integrates with).
double OsmoticSigma(double x);

/// Refuses a state whose numbers are not usable (temperature, density, dielectric constant or
/// a molality that is negative or not finite) and a `lnGamma` of the wrong size; `model`
/// names the model in the message.
void CheckState(const char* model, const SolutionState& state, std::size_t solutes,
                std::size_t lnGammaSize);

}  // namespace varsel::engine::activity
