// Physical constants and unit conversions of the standard-property models. The models work in
// SI (K, Pa, J/mol, m³/mol); the SUPCRT-family data are in thermochemical calories and bar,
// and the engine's interface speaks bar, g/cm³ and kJ/mol. Every conversion lives here.
#pragma once

namespace varsel::engine::thermo {

/// Thermochemical calorie (J).
inline constexpr double kCalorie = 4.184;
/// One bar (Pa).
inline constexpr double kBar = 1.0e5;
/// One cm³ (m³).
inline constexpr double kCubicCentimetre = 1.0e-6;
/// Gas constant (J/(mol·K)), CODATA 2018.
inline constexpr double kGasConstant = 8.314462618;
/// ln 10.
inline constexpr double kLn10 = 2.302585092994046;

/// Reference state of the standard properties: 298.15 K and 1 bar (in K and Pa).
inline constexpr double kTr = 298.15;
inline constexpr double kPr = 1.0e5;

/// Magnitude returned through the engine interface for a value that cannot be computed.
inline constexpr float kCannotCompute = 1.0e35f;

}  // namespace varsel::engine::thermo
