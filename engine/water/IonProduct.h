// The ionisation constant of water, H2O = H+ + OH-, on the molal scale as a function of
// temperature and density: Bandura & Lvov (2006), J. Phys. Chem. Ref. Data 35, 15-30 (IAPWS
// R11-07), and Marshall & Franck (1981), J. Phys. Chem. Ref. Data 10, 295-304.
#pragma once

namespace varsel::engine::water {

/// Decimal logarithm of the ionisation constant of water (molal scale) as a function of
/// temperature (K) and density (kg/m³): Bandura & Lvov (2006).
double LogKwBanduraLvov(double temperature, double density);

/// The same from Marshall & Franck (1981).
double LogKwMarshallFranck(double temperature, double density);

}  // namespace varsel::engine::water
