// The Pitzer ion-interaction model (Pitzer 1973, J. Phys. Chem. 77, 268-277; in the form of
// Harvie, Møller & Weare 1984, Geochim. Cosmochim. Acta 48, 723-751) with the
// unsymmetrical-mixing terms of Pitzer (1975) (PitzerMixing.h). With I = ½ Σ m z²,
// Z = Σ m |z| and b = 1.2:
//   F = −A_φ [√I/(1 + b√I) + (2/b) ln(1 + b√I)] + Σ_c Σ_a m_c m_a B'_ca
//       + Σ_c<c' m_c m_c' Φ'_cc' + Σ_a<a' m_a m_a' Φ'_aa',
//   ln γ_M = z_M² F + Σ_a m_a (2 B_Ma + Z C_Ma) + Σ_c m_c (2 Φ_Mc + Σ_a m_a ψ_Mca)
//            + Σ_a<a' m_a m_a' ψ_Maa' + |z_M| Σ_c Σ_a m_c m_a C_ca + 2 Σ_n m_n λ_nM
//            + Σ_n Σ_a m_n m_a ζ_nMa                      (and alike for anions),
//   ln γ_N = 2 Σ_i m_i λ_Ni + Σ_c Σ_a m_c m_a ζ_Nca          (i over ions and neutral species),
//   Σ m (φ − 1) = 2 [−A_φ I^{3/2}/(1 + b√I) + Σ_c Σ_a m_c m_a (B^φ_ca + Z C_ca)
//            + Σ_c<c' m_c m_c' (Φ^φ_cc' + Σ_a m_a ψ_cc'a) + Σ_a<a' m_a m_a' (Φ^φ_aa' + Σ_c m_c
//            ψ_caa')]
//            + 2 Σ_n Σ_ions m_n m_i λ_ni + Σ_n Σ_n' m_n m_n' λ_nn' + 2 Σ_n Σ_c Σ_a m_n m_c m_a
//            ζ_nca,
//   ln a_w = −M_w Σ m φ,
// where B = β0 + β1 g(α1√I) + β2 g(α2√I), B^φ = β0 + β1 e^(−α1√I) + β2 e^(−α2√I),
// B' = [β1 g'(α1√I) + β2 g'(α2√I)]/I, g(x) = 2[1 − (1 + x)e^(−x)]/x²,
// g'(x) = −2[1 − (1 + x + x²/2)e^(−x)]/x², C = C^φ/(2√|z_c z_a|), Φ = θ + Eθ, Φ' = Eθ',
// Φ^φ = θ + Eθ + I Eθ'; α1 = 2, α2 = 12, and α1 = 1.4 for pairs of two divalent ions.
// A_φ = ln10 A/3 from the decimal Debye-Hückel slope A of the water's density and dielectric
// constant at the state. For the pair Na+ Cl-, β0 and C^φ also follow the pressure
// (NaClPressure.h).
#pragma once

#include <vector>

#include "engine/activity/ActivityModel.h"
#include "engine/activity/PitzerFile.h"

namespace varsel::engine::activity {

class PitzerModel final : public ActivityModel {
  public:
    /// Prepares the model for the solutes with the parameters of a file; parameters that name
    /// a species not among the solutes are left out. Throws RuntimeFailure(kEngineFailure) for
    /// a parameter whose species have charges that do not fit its kind (a -B0 line of two
    /// cations, a -LAMDA line without a neutral species, ...), naming the file and line.
    PitzerModel(std::vector<Solute> solutes, const PitzerParameters& parameters);

    void Evaluate(const SolutionState& state, std::span<double> lnGamma,
                  double* lnWaterActivity) override;
    /// The true ionic strength ½ Σ m z².
    double LoopIonicStrength(std::span<const double> molality, double trueIonic) const override;
    bool FollowsComposition() const override { return true; }
    DielectricChoice Dielectric() const override { return DielectricChoice::Iapws; }
    const char* Name() const override { return "pitzer"; }

    /// The osmotic coefficient φ of the last evaluation (1 for pure water).
    double OsmoticCoefficient() const { return osmotic_; }

  private:
    struct Pair {  // cation-anion: β0, β1, β2, C^φ
        int C = 0, A = 0;
        std::array<double, 6> Coef[4]{};
        double Alpha1 = 2, Alpha2 = 12, Cfactor = 0;
        double Value[4]{};  // at the cached temperature
    };
    struct Mix {  // two like-signed ions: θ (possibly none) and the E-theta terms
        int I = 0, J = 0;
        std::array<double, 6> Coef{};
        double Theta = 0;
    };
    struct Triple {  // ψ (i, j like-signed, k of the other sign) or ζ (neutral, cation, anion)
        int I = 0, J = 0, K = 0;
        std::array<double, 6> Coef{};
        double Value = 0;
    };
    struct Lambda {  // neutral species N with species I (ion or neutral, possibly N itself)
        int N = 0, I = 0;
        std::array<double, 6> Coef{};
        double Value = 0;
    };

    void UpdateState(double temperature, double pressure);

    std::vector<Solute> solutes_;
    std::vector<double> charge_;
    std::vector<double> weight_;  // ½ z², per mol/kg of the true ionic strength
    std::vector<double> scaled_;  // the molalities scaled to the loop's ionic strength
    std::vector<Pair> pairs_;
    std::vector<Mix> mixes_;
    std::vector<Triple> psis_;
    std::vector<Triple> zetas_;
    std::vector<Lambda> lambdas_;
    int naclPair_ = -1;  // index in pairs_ of Na+ Cl-, -1 without it
    double cachedTemperature_ = -1;
    double cachedPressure_ = -1;
    double osmotic_ = 1;
};

}  // namespace varsel::engine::activity
