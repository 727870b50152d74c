// The extended Debye-Hückel equation in the B-dot form of Helgeson (1969, Am. J. Sci. 267,
// 729-804), the engine's default activity model:
//   log γ_i = −A z_i² √I / (1 + å_i B √I) + ḃ I      (charged species),
//   log γ_i = 0                                         (neutral species),
// with the true ionic strength I = ½ Σ m_i z_i², and the water activity that follows from the
// Gibbs-Duhem equation integrated along a path of uniform dilution:
//   ln a_w = −(Σ m_i / 55.50843) φ,
//   Σ m_i φ = Σ m_i − (ln10 A √I / 3) Σ_ions m_i z_i² σ(å_i B √I) + ½ ln10 ḃ I Σ_ions m_i,
//   σ(x) = (3/x³) [1 + x − 1/(1 + x) − 2 ln(1 + x)].
// For a single 1:1 electrolyte this is the familiar osmotic coefficient
// φ = 1 − (ln10 A √I / 3) σ(åB√I) + ½ ln10 ḃ I.
//
// A and B come from the water's density and the dielectric constant the options choose
// (DebyeHuckelParameters). Ion sizes å follow Kielland (1937) in kind: 9 Å for H+ and, for
// every other ion, a default by charge (3.5 Å for OH-, 4 Å for other singly charged ions, 5 Å
// for |z| = 2, 9 Å for |z| = 3, 11 Å above). ḃ is the NaCl-dominated curve of Helgeson (1969,
// Fig. 3) as a function of temperature, interpolated linearly between the points read from it
// and zero above 300 °C.
#pragma once

#include <string>
#include <vector>

#include "engine/activity/ActivityModel.h"

namespace varsel::engine::activity {

/// Parameters of the B-dot equation at one temperature and pressure.
struct BdotParameters {
    double A = 0;     ///< Debye-Hückel A, kg^½/mol^½ (decimal-log form)
    double B = 0;     ///< Debye-Hückel B, kg^½/(mol^½·Å)
    double Bdot = 0;  ///< ḃ, kg/mol (decimal-log form)
};

/// ḃ (kg/mol) of Helgeson (1969, Fig. 3) at a temperature in °C; zero above 300 °C and held at
/// its 0 °C value below.
double BdotOfTemperature(double tempC);

/// Default ion-size parameter å (Å) of an aqueous species from its name and charge.
double DefaultIonSize(const std::string& name, double charge);

/// Natural logarithm of the activity coefficient of an ion of charge z and size å (Å) at true
/// ionic strength I (mol/kg); zero for z = 0.
double LnGamma(const BdotParameters& p, double charge, double ionSize, double ionicStrength);

class BdotModel final : public ActivityModel {
  public:
    explicit BdotModel(const std::vector<Solute>& solutes);

    /// The coefficients at state.IonicStrength (0 included), the water activity from the
    /// molalities at that ionic strength.
    void Evaluate(const SolutionState& state, std::span<double> lnGamma,
                  double* lnWaterActivity) override;
    DielectricChoice Dielectric() const override { return DielectricChoice::Options; }
    const char* Name() const override { return "bdot"; }

    /// A, B and ḃ of the last water evaluated.
    const BdotParameters& Parameters() const { return parameters_; }

  private:
    std::vector<double> charge_;
    std::vector<double> ionSize_;  // å, Å
    WaterState water_;             // the water of parameters_
    BdotParameters parameters_;
};

}  // namespace varsel::engine::activity
