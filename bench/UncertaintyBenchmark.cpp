// The intervals of the silver chloride example (three free species, 24 samples) with the
// real engine: its three profiles (both thresholds, both sides), and a bootstrap of 1000
// replicates, each on one and on two threads. Wall-clock time; the fit they start from is
// included (about 20 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "uncertainty/Uncertainty.h"
#include "varsel/Problem.h"

namespace {

void Estimate(benchmark::State& state, bool profile, int replicates) {
    const std::string example = std::string(VARSEL_EXAMPLES_DIR) + "/agcl.txt";
    varsel::uncertainty::Options options;
    options.Profile = profile;
    options.Replicates = replicates;
    options.Seed = 1;
    options.Threads = static_cast<int>(state.range(0));
    int failed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        varsel::Problem problem = varsel::Problem::Open(example);
        state.ResumeTiming();
        const varsel::uncertainty::Result r = varsel::uncertainty::Estimate(problem, options);
        if (!r.Failure.empty()) state.SkipWithError(r.Failure.c_str());
        failed += r.Failed;
    }
    state.counters["failed"] = failed;
}

void ProfilesOfTheSilverChlorideExample(benchmark::State& state) {
    Estimate(state, true, 0);
}
BENCHMARK(ProfilesOfTheSilverChlorideExample)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(1)
    ->Arg(2);

void BootstrapOfTheSilverChlorideExample(benchmark::State& state) {
    Estimate(state, false, 1000);
}
BENCHMARK(BootstrapOfTheSilverChlorideExample)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2)
    ->Arg(1)
    ->Arg(2);

}  // namespace
