// The dimensionless Helmholtz energy φ = f/(RT) of IAPWS-95 and its derivatives with respect
// to the reduced density δ = ρ/ρc and the inverse reduced temperature τ = Tc/T (Wagner &
// Pruss 2002, equations 6.5 and 6.6 with tables 6.1, 6.2 and 6.5). Internal to the water
// library.
#pragma once

namespace varsel::engine::water::detail {

/// Specific gas constant of IAPWS-95, J/(kg·K).
inline constexpr double kSpecificGasConstant = 461.51805;

/// φ and its derivatives up to second order: φ_δ, φ_δδ, φ_τ, φ_ττ and φ_δτ.
struct ReducedHelmholtz {
    double phi = 0;
    double d = 0;
    double dd = 0;
    double t = 0;
    double tt = 0;
    double dt = 0;
};

/// Ideal-gas part φ° at reduced density δ and inverse reduced temperature τ.
ReducedHelmholtz IdealPart(double delta, double tau);

/// Residual part φʳ along one isotherm. The factors that depend on τ alone (its powers and the
/// Gaussian τ terms) are computed once, so that a density search evaluates only the δ terms.
class ResidualIsotherm {
  public:
    explicit ResidualIsotherm(double tau);

    /// φʳ and its derivatives at reduced density δ (> 0).
    ReducedHelmholtz At(double delta) const;

    double Tau() const { return tau_; }

  private:
    double tau_;
    double powerCoefficient_[51];  // n_i τ^t_i of the polynomial and exponential terms
    double gaussCoefficient_[3];   // n_i τ^t_i exp(−β_i(τ − γ_i)²)
    double gaussTauFactor_[3];     // t_i/τ − 2β_i(τ − γ_i)
    double gaussTauSecond_[3];     // its τ derivative, −t_i/τ² − 2β_i
    double criticalTauFactor_[2];  // exp(−D_i(τ − 1)²)
};

/// φʳ at (δ, τ) in one call, for callers that need a single state.
inline ReducedHelmholtz ResidualPart(double delta, double tau) {
    return ResidualIsotherm(tau).At(delta);
}

}  // namespace varsel::engine::water::detail
