// Helpers shared by the water tests: the reference grid of water densities and dielectric
// constants, and central differences along isobars and isotherms.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace varsel::engine::water::test {

/// One row of tests/data/water/iapws95-check.csv.
struct ReferenceRow {
    double TemperatureC = 0;
    bool Saturated = false;  ///< the `sat` rows: saturated liquid
    double PressureBar = 0;
    double Density = 0;  ///< kg/m³
    double Epsilon = 0;  ///< 0 where the file has no value
    std::string Phase;
};

/// The rows of the reference grid (fails the test and returns none if the file is missing).
std::vector<ReferenceRow> ReadReferenceGrid();

/// Central difference of f at x with step h.
double Derivative(const std::function<double(double)>& f, double x, double h);

/// A pressure step (Pa) for central differences at pressure P (Pa) and density ρ (kg/m³):
/// small and relative for a gas, whose properties vary as ln P; large enough for a liquid
/// that rounding in its density (about 1e-13) stays far below the change.
double PressureStep(double pressure, double density);

}  // namespace varsel::engine::water::test
