// One evaluation of the HKF81 and Pitzer activity models (ln γ of every solute and ln a_w) for
// 2 mol/kg NaCl and for a ten-solute brine at 300 °C and 500 bar, the cost the equilibrium
// solver pays per iteration once it uses them.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/activity/Hkf81Model.h"
#include "engine/activity/PitzerModel.h"
#include "engine/water/Dielectric.h"
#include "engine/water/Iapws95.h"

namespace {

using namespace varsel::engine;
using namespace varsel::engine::activity;

std::vector<Solute> Brine(bool full) {
    std::vector<Solute> s = {{"Na+", 1, 0.3306e5, 0}, {"Cl-", -1, 1.4560e5, 0}};
    if (full) {
        s.insert(s.end(), {{"K+", 1, 0.1927e5, 0},
                           {"Mg+2", 2, 1.5372e5, 0},
                           {"Ca+2", 2, 1.2366e5, 0},
                           {"H+", 1, 0, 0},
                           {"SO4-2", -2, 3.1463e5, 0},
                           {"HCO3-", -1, 1.2733e5, 0},
                           {"OH-", -1, 1.7246e5, 0},
                           {"CO2", 0, 0, 0}});
    }
    return s;
}

void Run(benchmark::State& bench, bool pitzer, bool full) {
    const std::vector<Solute> solutes = Brine(full);
    std::unique_ptr<ActivityModel> model;
    if (pitzer)
        model = std::make_unique<PitzerModel>(
            solutes, ReadPitzerFile(std::string(VARSEL_SOURCE_DATA_DIR) + "/activity/pitzer.dat"));
    else
        model = std::make_unique<Hkf81Model>(solutes);
    std::vector<double> m =
        full ? std::vector<double>{2.0, 2.8, 0.2, 0.3, 0.1, 1e-6, 0.15, 0.01, 1e-5, 0.05}
             : std::vector<double>{2.0, 2.0};
    const double t = 573.15;
    const double rho = water::Density(t, 500e5);
    const SolutionState state{{t, 300, 500, rho, water::DielectricConstantFernandez(t, rho)}, m};
    std::vector<double> lnGamma(m.size());
    double lnAw = 0;
    for (auto _ : bench) {
        model->Evaluate(state, lnGamma, &lnAw);
        benchmark::DoNotOptimize(lnGamma.data());
        benchmark::DoNotOptimize(lnAw);
    }
}

void BM_Hkf81NaCl(benchmark::State& s) {
    Run(s, false, false);
}
void BM_PitzerNaCl(benchmark::State& s) {
    Run(s, true, false);
}
void BM_Hkf81Brine(benchmark::State& s) {
    Run(s, false, true);
}
void BM_PitzerBrine(benchmark::State& s) {
    Run(s, true, true);
}
BENCHMARK(BM_Hkf81NaCl);
BENCHMARK(BM_PitzerNaCl);
BENCHMARK(BM_Hkf81Brine);
BENCHMARK(BM_PitzerBrine);

}  // namespace
