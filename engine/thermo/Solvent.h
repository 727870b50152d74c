// The state of the solvent water that the standard potentials of aqueous species need, and
// the options that choose among the water formulations.
//
// The aqueous models take the water state as input (density, dielectric constant, the
// solvent function g), so a caller that already holds them, as the engine interface does,
// passes them on; SolventAt computes them all from the water functions (engine/water).
#pragma once

#include <string>

namespace varsel::engine::thermo {

/// Options of the standard-property models. The engine interface receives them as a flag
/// word: 1 (/wp) ConstantOmega, 2 (/bl) MarshallFranckKw, 4 (/ew) FernandezDielectric; bit
/// 14 (16384) is always set and means nothing.
struct Modes {
    /// Switch the solvent function g off: the Born coefficient ω of charged species keeps its
    /// reference value at every T and P (the HKF form before Shock et al. 1992).
    bool ConstantOmega = false;
    /// Ionisation constant of water from Marshall & Franck (1981) instead of Bandura & Lvov
    /// (2006), for the standard potential of OH-.
    bool MarshallFranckKw = false;
    /// Static dielectric constant from IAPWS R8-97 (Fernández et al. 1997) instead of
    /// Johnson & Norton (1991).
    bool FernandezDielectric = false;

    /// The options of a flag word (bits 1, 2, 4; other bits are ignored).
    static Modes FromFlags(int flags);
    /// The flag word of these options (without bit 14).
    int Flags() const;
};

/// Born functions of water at 298.15 K and 1 bar.
struct BornReference {
    double Epsilon = 0;
    double Y = 0;  ///< 1/K
};

/// Water at one temperature and pressure, as the standard potentials need it.
struct SolventState {
    double Temperature = 0;  ///< K
    double Pressure = 0;     ///< Pa
    double Density = 0;      ///< kg/m³
    double Epsilon = 0;      ///< static dielectric constant (model chosen by the modes)
    double G = 0;  ///< solvent function g of Shock et al. (1992), Å (0 with ConstantOmega)
    double WaterGibbs = 0;    ///< apparent ΔfG of water, J/mol
    double LogKw = 0;         ///< decimal logarithm of the ionisation constant of water (molal)
    BornReference Reference;  ///< ε and Y at 298.15 K and 1 bar by the same dielectric model
    Modes Options;
};

/// The solvent state at temperature (K) and pressure (Pa), everything from the water
/// functions. Throws varsel::RuntimeFailure when the water functions cannot give a state.
SolventState SolventAt(double temperature, double pressure, Modes modes = {});

/// Density of the solvent (kg/m³) at temperature (K) and pressure (Pa): the stable phase, except
/// that on the saturation curve, within the rounding of a pressure stored as a 32-bit float, the
/// liquid is taken. Aqueous properties "at the saturation pressure" are those of the saturated
/// liquid; a pressure rounded a few parts in 1e8 below it must not turn the solvent into vapour.
double SolventDensity(double temperature, double pressure);

/// What keeps the aqueous-species model from using water at temperature (K), pressure (Pa) and
/// density (kg/m³), or "" when nothing does: below the critical point and the saturation
/// pressure the water is steam ("water is steam at 200 C and 15.5 bar (saturation pressure
/// 15.55 bar)"); otherwise a density below `minimumDensity` (kg/m³; 0 when the limits are
/// lifted) is named with `lift`, the switch that lifts the limit ("the density of water,
/// 0.21 g/cm3, is below the 0.32 g/cm3 limit of the aqueous-species model; /ie lifts it").
/// Plain ASCII: the text can end up in a Latin-1 data file.
std::string AqueousWaterProblem(double temperature, double pressure, double density,
                                double minimumDensity, const std::string& lift);

/// The solvent state from a density (kg/m³) and dielectric constant that the caller already
/// has; g, the water Gibbs energy and log Kw are computed.
SolventState SolventFrom(double temperature, double pressure, double density, double epsilon,
                         Modes modes = {});

/// Dielectric constant of water at temperature (K) and density (kg/m³) by the model the
/// modes choose.
double DielectricConstant(double temperature, double density, Modes modes);

/// The solvent function g (Å) at temperature (K), pressure (Pa) and density (kg/m³); 0 when
/// the modes switch it off.
double SolventFunctionG(double temperature, double pressure, double density, Modes modes);

/// Decimal logarithm of Kw at temperature (K) and density (kg/m³) by the model the modes
/// choose.
double LogKw(double temperature, double density, Modes modes);

/// The Born functions at the reference state (298.15 K, 1 bar) that the revised HKF equations
/// need: the dielectric constant and Y = (∂(−1/ε)/∂T)_P (1/K), by the dielectric model the
/// modes choose. Computed once per model.
const BornReference& ReferenceBorn(Modes modes);

}  // namespace varsel::engine::thermo
