// The dielectric constant of water and the Born functions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "WaterTestSupport.h"
#include "engine/water/Water.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::water {
namespace {

// IAPWS R8-97 against every value of the reference grid (an independent implementation of the
// release), at the grid's own densities, from 25 °C to 800 °C and 1 to 5000 bar.
TEST(Dielectric, FernandezMatchesTheReferenceGrid) {
    int checked = 0;
    for (const auto& row : test::ReadReferenceGrid()) {
        if (row.Epsilon == 0) continue;
        const Dielectric d = DielectricFernandez(row.TemperatureC + 273.15, row.Density);
        EXPECT_NEAR(d.Epsilon, row.Epsilon, 1e-7 * row.Epsilon)
            << row.TemperatureC << " C, " << row.PressureBar << " bar";
        EXPECT_NEAR(DielectricConstantFernandez(row.TemperatureC + 273.15, row.Density), d.Epsilon,
                    1e-13 * d.Epsilon);
        ++checked;
    }
    EXPECT_EQ(checked, 45);
}

// Johnson & Norton (1991) at 25 °C and 1 bar: SUPCRT92 and Shock et al. (1992) take the
// reference Born functions of the revised HKF equations from it, Z = −0.1278034682e-1
// (ε = 78.245) and Y = −0.5798650444e-4 /K, computed with the Haar-Gallagher-Kell density
// and expansivity. IAPWS-95 water differs from those by parts in 1e5 and 1e3.
TEST(Dielectric, JohnsonNortonReproducesTheHkfReferenceValues) {
    const double rho = Density(298.15, 1e5);
    const Dielectric d = DielectricJohnsonNorton(298.15, rho);
    EXPECT_NEAR(d.Z, -0.1278034682e-1, 3e-5 * 0.1278034682e-1);
    EXPECT_NEAR(d.Epsilon, 78.245, 0.002);
    EXPECT_NEAR(d.Y, -0.5798650444e-4, 1e-3 * 0.5798650444e-4);
    EXPECT_DOUBLE_EQ(d.Z, -1 / d.Epsilon);
    EXPECT_NEAR(DielectricConstantJohnsonNorton(298.15, rho), d.Epsilon, 1e-13 * d.Epsilon);
    // The two formulations agree closely in ordinary liquid water (R8-97 gives 78.41 here).
    EXPECT_NEAR(DielectricFernandez(298.15, rho).Epsilon, 78.408, 0.001);
    EXPECT_NEAR(DielectricJohnsonNorton(573.15, Density(573.15, 5e7)).Epsilon,
                DielectricFernandez(573.15, Density(573.15, 5e7)).Epsilon, 0.5);
}

// Y, Q and X against numerical derivatives of Z along the isobar and the isotherm, with the
// density solved at each point: the chain rule through (∂ρ/∂T)_P, (∂ρ/∂P)_T and (∂²ρ/∂T²)_P.
TEST(Dielectric, BornFunctionsAreTheDerivativesOfZ) {
    using Formulation = Dielectric (*)(double, double);
    const struct {
        const char* name;
        Formulation f;
    } formulations[] = {{"Johnson-Norton", DielectricJohnsonNorton},
                        {"R8-97", DielectricFernandez}};
    const struct { double T, P; } states[] = {{298.15, 1e5}, {573.15, 5e7}, {1073.15, 5e8}};
    for (const auto& f : formulations)
        for (const auto& st : states) {
            const std::string at = std::string(f.name) + " at T = " + std::to_string(st.T) +
                                   " K, P = " + std::to_string(st.P) + " Pa";
            const Dielectric d = f.f(st.T, Density(st.T, st.P));
            const auto zOfT = [&](double T) { return f.f(T, Density(T, st.P)).Z; };
            const auto zOfP = [&](double P) { return f.f(st.T, Density(st.T, P)).Z; };
            const auto yOfT = [&](double T) { return f.f(T, Density(T, st.P)).Y; };
            EXPECT_NEAR(test::Derivative(zOfT, st.T, 1e-3), d.Y, 1e-6 * std::abs(d.Y)) << at;
            const double hP = test::PressureStep(st.P, Density(st.T, st.P));
            EXPECT_NEAR(test::Derivative(zOfP, st.P, hP), d.Q, 1e-6 * std::abs(d.Q)) << at;
            EXPECT_NEAR(test::Derivative(yOfT, st.T, 1e-2), d.X, 1e-4 * std::abs(d.X)) << at;
        }
}

// Low density tends to vacuum (ε → 1); a density that is not positive is refused.
TEST(Dielectric, VacuumLimitAndRefusals) {
    EXPECT_NEAR(DielectricJohnsonNorton(1000, 1e-3).Epsilon, 1, 1e-4);
    EXPECT_NEAR(DielectricFernandez(1000, 1e-3).Epsilon, 1, 1e-4);
    for (double rho : {0.0, -1.0, std::nan("")}) {
        EXPECT_THROW(DielectricJohnsonNorton(300, rho), RuntimeFailure);
        EXPECT_THROW(DielectricFernandez(300, rho), RuntimeFailure);
        EXPECT_THROW(DielectricConstantJohnsonNorton(300, rho), RuntimeFailure);
        EXPECT_THROW(DielectricConstantFernandez(300, rho), RuntimeFailure);
    }
    EXPECT_THROW(DielectricJohnsonNorton(1e4, 1000), RuntimeFailure);
    EXPECT_THROW(DielectricFernandez(100, 1000), RuntimeFailure);
}

}  // namespace
}  // namespace varsel::engine::water
