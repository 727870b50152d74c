// The solvent parameters of the extended Debye-Hückel equation of Helgeson, Kirkham & Flowers
// (1981, Am. J. Sci. 281, 1249-1516): the Debye-Hückel A_γ and B_γ, the Born-type solvation
// term b_NaCl and the short-range term b_Na+Cl- of NaCl-dominated solutions, as the paper
// tabulates them from 0 to 500 °C and from 1 (or the saturation pressure) to 5000 bar, read
// here by bilinear interpolation in temperature and pressure.
#pragma once

namespace varsel::engine::activity {

/// The four parameters at one temperature and pressure.
struct Hkf81Parameters {
    double A = 0;         ///< A_γ, kg^½/mol^½ (decimal-log form)
    double B = 0;         ///< B_γ, kg^½/(mol^½·Å)
    double BNaCl = 0;     ///< b_NaCl, kg/cal
    double BNaClIon = 0;  ///< b_Na+Cl-, kg/mol
};

/// The parameters at a temperature (°C) and pressure (bar), interpolated in the tables. Throws
/// RuntimeFailure(kEngineFailure) outside the tables: below 0 °C or above 500 °C, below the
/// saturation pressure (or 1 bar) or above 5000 bar, and in the low-density corner above the
/// critical temperature where the paper prints no values.
Hkf81Parameters Hkf81ParametersAt(double tempC, double pressureBar);

/// The parameters at the state of the tables nearest to a temperature (°C) and pressure
/// (bar): both held to the edges of the tables, and in the low-density corner the pressure
/// raised to the first column that has values. For calculations asked to go past the limits.
Hkf81Parameters Hkf81ParametersNearest(double tempC, double pressureBar);

/// The value printed at a node of the tables (row `t` of the 21 temperatures 0, 25, ..., 500 °C
/// and column `p` of the pressures 1/Psat, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 5000
/// bar), in the units of Hkf81Parameters; NaN where the paper prints none.
Hkf81Parameters Hkf81Node(int t, int p);

}  // namespace varsel::engine::activity
