// The properties of water at one temperature and pressure that varsel-thermo's water
// subcommand prints, in SI units.
#pragma once

#include <optional>

#include "engine/thermo/Solvent.h"
#include "engine/tools/thermo/Conditions.h"

namespace varsel::engine::tools {

struct WaterProperties {
    double Density = 0;     ///< kg/m³
    double Dielectric = 0;  ///< static dielectric constant (by the model the modes choose)
    /// Pa; none above the critical temperature or below 0 °C
    std::optional<double> SaturationPressure;
    double Gibbs = 0;  ///< apparent standard Gibbs energy of formation, J/mol
    double LogKw = 0;  ///< decimal logarithm of the ionisation constant (by the modes' model)
    double G = 0;      ///< solvent function g of Shock et al. (1992), Å
};

/// Throws varsel::RuntimeFailure when the water functions cannot give a state.
WaterProperties WaterAt(const Conditions& c, const thermo::Modes& modes);

}  // namespace varsel::engine::tools
