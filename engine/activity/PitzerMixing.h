// The unsymmetrical-mixing terms of the Pitzer equations for two ions of the same sign and
// different charge (Pitzer 1975, J. Solution Chem. 4, 249-265): the electrostatic part Eθ of
// the mixing parameter and its ionic-strength derivative Eθ', from the integral J(x) in the
// approximation of that paper (equation 47),
//   J(x) = x / [4 + C1 x^(−C2) exp(−C3 x^C4)],  C1 = 4.581, C2 = 0.7237, C3 = 0.0120,
//   C4 = 0.528,
// with x_ij = 6 z_i z_j A_φ √I and
//   Eθ_ij  = (z_i z_j / 4I) [J(x_ij) − ½ J(x_ii) − ½ J(x_jj)],
//   Eθ'_ij = −Eθ_ij / I + (z_i z_j / 8I²) [x_ij J'(x_ij) − ½ x_ii J'(x_ii) − ½ x_jj J'(x_jj)].
#pragma once

namespace varsel::engine::activity {

/// J(x) and its derivative J'(x) for x ≥ 0.
struct JValue {
    double J = 0;
    double Slope = 0;
};
JValue MixingJ(double x);

/// Eθ and Eθ' of two ions of charges zi, zj (same sign) at ionic strength I > 0 and
/// Debye-Hückel A_φ; both zero when the charges are equal.
struct ETheta {
    double Value = 0;
    double Slope = 0;  ///< dEθ/dI
};
ETheta MixingETheta(double zi, double zj, double aPhi, double ionicStrength);

}  // namespace varsel::engine::activity
