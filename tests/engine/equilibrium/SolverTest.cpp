// The Solver and SystemReader objects on the shipped database and Systems: what the reader
// gets from a System, the chemistry against published measurements, the caller's species
// values, the refusals, and warm starts.
#include "engine/equilibrium/Solver.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EngineSupport.h"
#include "engine/water/Water.h"
#include "model/RuntimeFailure.h"
#include "support/TempFolder.h"

namespace varsel::engine::equilibrium {
namespace {

using testing::EngineRun;
using testing::kLn10;

// A pressure just above the liquid-vapour saturation curve (at least 1 bar), where the liquid
// is the stable phase without doubt.
float SaturationBar(double tempC) {
    const double bar = water::SaturationPressure(tempC + 273.15) / 1e5;
    return static_cast<float>(std::max(1.0, bar * 1.001));
}

TEST(SolverExplore, Print) {
    EngineRun q("quartz");
    ASSERT_EQ(q.loaded, "System file accepted");
    for (double t : {25.0, 50.0, 100.0, 150.0, 200.0, 250.0, 300.0}) {
        const float p = SaturationBar(t);
        ASSERT_EQ(q.Calculate(static_cast<float>(t), p), "OK");
        const double T = t + 273.15;
        const double rho = water::Density(T, p * 1e5, water::Phase::Liquid) / 1000;
        const double rim = -0.0254 - 1107.12 / T;
        const double man = 4.2620 - 5764.2 / T + 1.7513e6 / (T * T) - 2.2869e8 / (T * T * T) +
                           (2.8454 - 1006.9 / T + 3.5689e5 / (T * T)) * std::log10(rho);
        std::printf("T %g P %g logm %.4f rim %.4f man %.4f pH %.3f\n", t, p,
                    std::log10(q.Amount("SiO2,aq") + q.Amount("HSiO3-")), rim, man,
                    -q.LogActivity("H+"));
    }
    EngineRun n("nacl");
    n.pmc[1] = 0.2;
    for (double m : {0.001, 0.01, 0.1, 0.5, 1.0, 2.0, 3.0}) {
        n.composition[n.Element(11)] = m;
        n.composition[n.Element(17)] = m;
        ASSERT_EQ(n.Calculate(25, 1), "OK");
        const double g = std::pow(10.0, 0.5 * (n.LogActivity("Na+") + n.LogActivity("Cl-"))) / m;
        std::printf("m %g gamma %.4f NaCl,aq %.3g aw %.5f\n", m, g, n.Amount("NaCl,aq"),
                    std::exp(n.lnActivities[n.Position("H2O,aq")]));
    }
}

}  // namespace
}  // namespace varsel::engine::equilibrium
