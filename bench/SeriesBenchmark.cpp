// The series fit of the silver chloride example (examples/agcl-series/: six files at 25 to
// 300 °C, five parameters), by each method and with the files fitted on one or two threads:
// the wall time of a whole series from reading the files to the parameters, without writing
// the database. The counter "iterations" is that of the series fit.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "varsel/Series.h"

namespace {

void SeriesFit(benchmark::State& state) {
    const std::string path =
        (std::filesystem::path(VARSEL_EXAMPLES_DIR) / "agcl-series" / "agcl-series.txt").string();
    varsel::SeriesFile series = varsel::ReadSeriesFile(path);
    series.Method =
        state.range(0) == 1 ? varsel::SeriesMethod::OneStep : varsel::SeriesMethod::TwoStep;
    varsel::SeriesOptions options;
    options.Write = false;
    options.Threads = static_cast<int>(state.range(1));
    int iterations = 0;
    for (auto _ : state) {
        const varsel::SeriesSummary summary = varsel::RunSeries(series, options);
        if (!summary.Succeeded) state.SkipWithError(summary.Outcome.c_str());
        iterations = summary.Iterations;
    }
    state.counters["iterations"] = iterations;
}

}  // namespace

// Arguments: method (1 one-step, 2 two-step), threads.
BENCHMARK(SeriesFit)
    ->ArgNames({"method", "threads"})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Args({2, 1})
    ->Args({2, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
