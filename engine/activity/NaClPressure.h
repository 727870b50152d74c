// The pressure dependence of the NaCl ion-interaction parameters β0 and C^φ, from the
// volumetric Pitzer parameters of Rogers & Pitzer (1982), J. Phys. Chem. Ref. Data 11, 15-81:
//   (∂β0/∂P)_T = B^V(T, P)   (their eq. 24; they set ∂β1/∂P = 0, so β1 does not change),
//   (∂C^φ/∂P)_T = 2 C^V(T)   (eq. 25; C = C^φ/2 for a 1:1 salt, C^V = ∂C/∂P),
// with the coefficients of Table 2, set II (the fit over 0-300 °C and 1-1000 bar, p. 19).
// Pitzer, Peiper & Busey (1984, J. Phys. Chem. Ref. Data 13, 1) carry their NaCl parameters
// from the saturation curve to 1 kbar with these volumetric terms, and their table of A_φ,
// β(0), β(1) and C (= C^φ/2) shows the same changes with pressure; here the terms carry the
// temperature functions of the parameter file, which hold at 1.01325 bar or the saturation
// pressure, to the pressure of the state.
#pragma once

namespace varsel::engine::activity {

/// (∂β0/∂P)_T of NaCl, kg mol⁻¹ bar⁻¹, at T (K) and P (bar).
double NaClBeta0PressureSlope(double temperature, double pressure);

/// (∂C^φ/∂P)_T of NaCl, kg² mol⁻² bar⁻¹, at T (K); it does not depend on pressure.
double NaClCphiPressureSlope(double temperature);

/// Changes of β0 and C^φ of NaCl between the reference pressure of the parameter file and a
/// pressure.
struct NaClPressureShift {
    double Beta0 = 0;
    double Cphi = 0;
};

/// The change from the reference pressure (1.01325 bar, or the saturation pressure where it is
/// higher) to `pressure` (bar) at T (K): the slopes above integrated over pressure. Zero at or
/// below the reference pressure. Outside 0-300 °C and above 1000 bar, where the volumetric
/// fit ends, the change is that of the nearest temperature and pressure inside.
NaClPressureShift NaClPressureCorrection(double temperature, double pressure);

}  // namespace varsel::engine::activity
