// Timing of the standard-property models: one HKF potential given the water state, the same
// through the engine interface (which adds the g function), one estimated-HKF potential, one
// mineral with a phase transition, and reading the shipped database.
#include <benchmark/benchmark.h>

#include "engine/thermo/Database.h"
#include "engine/thermo/Hkf.h"
#include "engine/thermo/MaierKelley.h"
#include "engine/thermo/StandardGibbs.h"
#include "engine/thermo/Thermo.h"

namespace thermo = varsel::engine::thermo;

namespace {

const thermo::Database& Shipped() {
    static const thermo::Database db = thermo::Database::Open("thermo", {});
    return db;
}

// Water at 300 °C and 500 bar: ε and g of Johnson & Norton (1991) and Shock et al. (1992).
thermo::HkfWater Water300() {
    return {573.15, 500e5, 20.4, 0.17, thermo::ReferenceBorn({})};
}

void HkfPotentialGivenWater(benchmark::State& state) {
    const thermo::SpeciesRecord& na = *Shipped().Find("Na+");
    thermo::HkfWater water = Water300();
    for (auto _ : state) {
        benchmark::DoNotOptimize(water);
        benchmark::DoNotOptimize(thermo::HkfGibbs(*na.Hkf, na.Charge(), *na.G, *na.S, water));
    }
}
BENCHMARK(HkfPotentialGivenWater);

void EstimatedHkfPotentialGivenWater(benchmark::State& state) {
    thermo::SpeciesRecord complex = *Shipped().Find("AgCl3-2");
    complex.Hkf.reset();  // as a user-added complex with 25 °C data only
    thermo::HkfWater water = Water300();
    for (auto _ : state) {
        benchmark::DoNotOptimize(water);
        benchmark::DoNotOptimize(thermo::AqueousGibbs(complex, water));
    }
}
BENCHMARK(EstimatedHkfPotentialGivenWater);

void AqueousPotentialThroughTheInterface(benchmark::State& state) {
    thermo::Thermo engine;
    engine.UseDatabase(Shipped());
    const std::int16_t code = engine.GetTypeCode(engine.FindSubstance("Na+"));
    float p = 500.0f;
    std::int16_t flag = 0;
    const float rho = engine.WaterDensity(573.15f, p, flag);
    const float eps = engine.WaterProperty(573.15f, rho);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.AqueousPotential(code, 573.15f, p, rho, eps));
}
BENCHMARK(AqueousPotentialThroughTheInterface);

void MineralPotential(benchmark::State& state) {
    const thermo::SpeciesRecord& quartz = *Shipped().Find("QUARTZ");
    double t = 1000.0, p = 2000e5;  // β-quartz: both phases' heat capacities and the transition
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        benchmark::DoNotOptimize(thermo::MineralGibbs(quartz, t, p));
    }
}
BENCHMARK(MineralPotential);

void ReadShippedDatabase(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(thermo::Database::Open("thermo", {}).Size());
}
BENCHMARK(ReadShippedDatabase)->Unit(benchmark::kMillisecond);

}  // namespace
