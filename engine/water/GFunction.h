// The solvent function g of the revised HKF equations: Shock, Oelkers, Johnson, Sverjensky &
// Helgeson (1992), J. Chem. Soc. Faraday Trans. 88, 803-826, equations 25, 32 and 33 with the
// coefficients of their table 3.
#pragma once

namespace varsel::engine::water {

/// The solvent function g of Shock et al. (1992), in Å, at temperature (K), pressure (Pa) and
/// water density (kg/m³); zero where it does not apply (density at or above 1000 kg/m³).
///
/// The fit covers water of density 0.35 g/cm³ and more up to 1000 °C and 5 kbar, the range of
/// the revised HKF equations. Below that density the same formula is returned as it stands (it
/// stays finite and small, g → a_g as ρ → 0): whether a species' properties are meaningful
/// there is the caller's decision. The correction term f(T, P) applies between 155 °C and
/// 355 °C at pressures up to 1000 bar, as in the original.
double GFunction(double temperature, double pressure, double density);

}  // namespace varsel::engine::water
