// Parameters of the extended Debye-Hückel equation on the molal scale, from the density and
// the dielectric constant of water (Helgeson, Kirkham & Flowers 1981, Am. J. Sci. 281,
// 1249-1516, equations 121-122).
#pragma once

namespace varsel::engine::water {

/// Parameters of the extended Debye-Hückel equation log γ = −A z² √I / (1 + å B √I) + ḃ I.
struct DebyeHuckel {
    double A = 0;  ///< kg^½/mol^½
    double B = 0;  ///< kg^½/(mol^½·Å)
};
/// A and B at temperature (K) from the water density (kg/m³) and dielectric constant.
DebyeHuckel DebyeHuckelParameters(double temperature, double density, double epsilon);

}  // namespace varsel::engine::water
