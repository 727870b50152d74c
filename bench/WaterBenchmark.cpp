// Speed of the water substance: the density search (target: under 10 µs at 300 °C and
// 500 bar), the saturation pressure, the state at a given density, the dielectric constant
// with its Born functions, the g function and the ionisation constant.
#include <benchmark/benchmark.h>

#include "engine/water/Water.h"

namespace {

using namespace varsel::engine::water;

constexpr double kT = 573.15;  // 300 °C
constexpr double kP = 5e7;     // 500 bar

void DensityLiquid300C500bar(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Density(kT, kP));
}
BENCHMARK(DensityLiquid300C500bar);

void DensitySupercritical600C1000bar(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Density(873.15, 1e8));
}
BENCHMARK(DensitySupercritical600C1000bar);

void DensityVapour200C1bar(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Density(473.15, 1e5));
}
BENCHMARK(DensityVapour200C1bar);

void SaturationPressure300C(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(SaturationPressure(kT));
}
BENCHMARK(SaturationPressure300C);

void StateAtGivenDensity(benchmark::State& state) {
    const double rho = Density(kT, kP);
    for (auto _ : state)
        benchmark::DoNotOptimize(StateAt(kT, rho));
}
BENCHMARK(StateAtGivenDensity);

void ApparentGibbsOfWater(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ApparentGibbs(kT, kP));
}
BENCHMARK(ApparentGibbsOfWater);

void DielectricJohnsonNortonWithBornFunctions(benchmark::State& state) {
    const double rho = Density(kT, kP);
    for (auto _ : state)
        benchmark::DoNotOptimize(DielectricJohnsonNorton(kT, rho));
}
BENCHMARK(DielectricJohnsonNortonWithBornFunctions);

void DielectricFernandezWithBornFunctions(benchmark::State& state) {
    const double rho = Density(kT, kP);
    for (auto _ : state)
        benchmark::DoNotOptimize(DielectricFernandez(kT, rho));
}
BENCHMARK(DielectricFernandezWithBornFunctions);

void GFunctionAt300C500bar(benchmark::State& state) {
    const double rho = Density(kT, kP);
    for (auto _ : state)
        benchmark::DoNotOptimize(GFunction(kT, kP, rho));
}
BENCHMARK(GFunctionAt300C500bar);

void LogKwBanduraLvovAt300C500bar(benchmark::State& state) {
    const double rho = Density(kT, kP);
    for (auto _ : state)
        benchmark::DoNotOptimize(LogKwBanduraLvov(kT, rho));
}
BENCHMARK(LogKwBanduraLvovAt300C500bar);

}  // namespace
