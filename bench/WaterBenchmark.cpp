// Speed of the water substance: the density search (target: under 10 µs at 300 °C and
// 500 bar), the saturation pressure, the state at a given density, the dielectric constant
// with its Born functions, the g function and the ionisation constant.
#include <benchmark/benchmark.h>

#include "engine/water/Water.h"

namespace {

using namespace varsel::engine::water;

constexpr double kT = 573.15;  // 300 °C
constexpr double kP = 5e7;     // 500 bar

// Times one call of `call`, whose result is kept from the optimiser.
template <class Call>
void Time(benchmark::State& state, Call call) {
    for (auto _ : state)
        benchmark::DoNotOptimize(call());
}

const double kRho = Density(kT, kP);

BENCHMARK_CAPTURE(Time, DensityLiquid300C500bar, [] { return Density(kT, kP); });
BENCHMARK_CAPTURE(Time, DensitySupercritical600C1000bar, [] { return Density(873.15, 1e8); });
BENCHMARK_CAPTURE(Time, DensityVapour200C1bar, [] { return Density(473.15, 1e5); });
BENCHMARK_CAPTURE(Time, SaturationPressure300C, [] { return SaturationPressure(kT); });
BENCHMARK_CAPTURE(Time, StateAtGivenDensity, [] { return StateAt(kT, kRho).Entropy; });
BENCHMARK_CAPTURE(Time, ApparentGibbs300C500bar, [] { return ApparentGibbs(kT, kP); });
BENCHMARK_CAPTURE(Time, DielectricJohnsonNorton,
                  [] { return DielectricJohnsonNorton(kT, kRho).X; });
BENCHMARK_CAPTURE(Time, DielectricFernandez, [] { return DielectricFernandez(kT, kRho).X; });
BENCHMARK_CAPTURE(Time, DielectricConstantJohnsonNorton,
                  [] { return DielectricConstantJohnsonNorton(kT, kRho); });
BENCHMARK_CAPTURE(Time, GFunction300C500bar, [] { return GFunction(kT, kP, kRho); });
BENCHMARK_CAPTURE(Time, LogKwBanduraLvov300C500bar, [] { return LogKwBanduraLvov(kT, kRho); });

}  // namespace
