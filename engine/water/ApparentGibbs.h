// The standard Gibbs energy of water in the apparent-formation (Benson-Helgeson) convention
// of the SUPCRT-family data, computed from the IAPWS-95 equation of state.
#pragma once

namespace varsel::engine::water {

/// ΔfG° of water at 298.15 K and 1 bar: −56688 cal/mol (J/mol).
inline constexpr double kReferenceGibbs = -56688.0 * 4.184;
/// Third-law entropy of water at 298.15 K and 1 bar: 16.712 cal/(mol·K) (J/(mol·K)).
inline constexpr double kReferenceEntropy = 16.712 * 4.184;

/// Apparent standard molal Gibbs energy of formation of water (J/mol) at temperature (K) and
/// pressure (Pa), in the convention of the SUPCRT-family data:
/// G(T, P) = ΔfG°(298.15 K, 1 bar) + [G(T, P) − G(298.15 K, 1 bar)], with
/// ΔfG°(298.15 K, 1 bar) = −56688 cal/mol and the entropy on the third-law scale, S°(298.15 K,
/// 1 bar) = 16.712 cal/(mol·K). The water is taken in its stable phase at T and P.
double ApparentGibbs(double temperature, double pressure);

/// The same from an IAPWS-95 state already computed (see StateAt), to spare a density search.
struct WaterState;
double ApparentGibbs(const WaterState& state);

}  // namespace varsel::engine::water
