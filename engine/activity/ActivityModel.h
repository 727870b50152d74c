// The interface of an activity model of the aqueous solution, the one the equilibrium solver
// calls: the natural logarithms of the molal activity coefficients of the solutes and of the
// activity of water, for one state of the water and one composition. The B-dot, HKF81, Pitzer
// and ideal models implement it; a further model needs only this class implemented and a name
// in the solver's choice of models (engine/equilibrium/ActivityChoice.h).
//
// The solver's activity loop moves one number, the ionic strength the coefficients are taken
// at (counted as the model counts it, LoopIonicStrength), towards that of the solution it
// computes. A model of the ionic strength alone (B-dot) takes the coefficients at that number.
// A model of the whole composition (HKF81, Pitzer) takes them at the molalities of the latest
// solution scaled uniformly to it (ScaledToLoop): once the loop has settled, the scale is 1 and
// the coefficients are those of the solution itself. The loop's bracketed secant step then also
// settles concentrated brines, where plain substitution of the coefficients runs away (near
// halite saturation ln γ± of NaCl grows faster than ln m).
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

/// The dielectric constant of water that a model is made for.
enum class DielectricChoice {
    /// The formulation the engine's options choose: Fernández et al. (1997) with /ew, Johnson &
    /// Norton (1991) otherwise (the one the standard properties are computed with).
    Options,
    /// Fernández et al. (1997), the IAPWS formulation, whatever the options say: the one the
    /// model's parameters were fitted with.
    Iapws,
};

/// The water at the temperature and pressure of a calculation.
struct WaterState {
    double Temperature = 0;   ///< K
    double TemperatureC = 0;  ///< °C, as the caller gave it (curves tabulated in °C read it)
    double Pressure = 0;      ///< bar
    double Density = 0;       ///< kg/m³ (IAPWS-95)
    double Epsilon = 0;       ///< static dielectric constant, of the model's DielectricChoice
};

/// The state a model is evaluated at.
struct SolutionState {
    WaterState Water;
    std::span<const double> Molality;  ///< mol/kg water, in the order of the model's solutes
    /// The ionic strength (mol/kg, as LoopIonicStrength counts it) to take the coefficients at:
    /// a model of the ionic strength alone takes it as it is; a model of the whole composition
    /// takes the molalities scaled uniformly to it, or as they are where it is 0.
    double IonicStrength = 0;
};

class ActivityModel {
  public:
    virtual ~ActivityModel() = default;

    /// ln γ of every solute (molal scale, same order as the solutes) and, unless
    /// `lnWaterActivity` is null, ln a_w. `lnGamma` must have as many elements as the model has
    /// solutes.
    virtual void Evaluate(const SolutionState& state, std::span<double> lnGamma,
                          double* lnWaterActivity) = 0;

    /// The ionic strength the coefficients depend on, for the molalities of a solution whose
    /// true ionic strength ½ Σ m z² is `trueIonic`: that one unless the model works with
    /// another (the stoichiometric ionic strength, which counts an ion pair as its free ions).
    virtual double LoopIonicStrength(std::span<const double> molality, double trueIonic) const {
        (void)molality;
        return trueIonic;
    }

    /// Whether the coefficients depend on the composition beyond the ionic strength, so that
    /// the solver's activity loop extrapolates them as well as following the ionic strength.
    virtual bool FollowsComposition() const { return false; }

    /// The dielectric constant the model needs in its WaterState.
    virtual DielectricChoice Dielectric() const = 0;

    /// With `ignore`, a model whose parameters are tabulated over a range takes those of the
    /// nearest tabulated state outside it instead of refusing the state.
    virtual void SetIgnoreLimits(bool ignore) { (void)ignore; }

    /// The short name the options text uses for the model ("bdot", "hkf81", "pitzer", "ideal").
    virtual const char* Name() const = 0;
};

/// Decimal-log Debye-Hückel slope A (kg^½/mol^½) and B (kg^½/(mol^½·Å)) of the water, from its
/// density and dielectric constant.
struct DebyeHuckelSlopes {
    double A = 0;
    double B = 0;
};
DebyeHuckelSlopes SlopesOf(const WaterState& water);

/// σ(x) = (3/x³)[1 + x − 1/(1 + x) − 2 ln(1 + x)] of the Debye-Hückel osmotic coefficient,
/// accurate also for small x.
double OsmoticSigma(double x);

/// Σ weight_j m_j: the ionic strength of the molalities with each solute's contribution per
/// mol/kg (½ z² for the true ionic strength).
double WeightedIonicStrength(std::span<const double> weight, std::span<const double> molality);

/// The state of a model of the whole composition: the molalities of `state` scaled uniformly
/// into `scaled` so that their WeightedIonicStrength is state.IonicStrength (unscaled where
/// either is 0). A state whose molalities do not match the weights is returned as it is.
SolutionState ScaledToLoop(const SolutionState& state, std::span<const double> weight,
                           std::span<double> scaled);

/// Refuses a state whose numbers are not usable (temperature, pressure, or a molality that is
/// negative or not finite) and a `lnGamma` of the wrong size; `model` names the model in the
/// message.
void CheckState(const char* model, const SolutionState& state, std::size_t solutes,
                std::size_t lnGammaSize);

}  // namespace varsel::engine::activity
