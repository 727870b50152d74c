// Solver.Calculate on the NaCl-H2O System at 300 °C and 500 bar, as the fit calls it: warm
// (the previous result as starting point, a species value moved slightly between calls),
// cold (every call from scratch), and at new conditions (standard potentials recomputed).
// The activity models are compared warm on the same System and state: B-dot, HKF81 and ideal
// on the NaCl System, Pitzer (and B-dot again) on nacl-pitzer, which leaves out the ion pairs;
// between calls the oxygen activity moves by 10 % instead of a species value, the same for
// every model (and, on nacl, also the NaCl,aq value as for the warm calls above). A warm call
// with an imposed pH is compared with the same call without it (MeasurePh). Every benchmark
// reports the heap allocations per call, counted by the replaced global operator new of this
// program.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "engine/EngineFactory.h"
#include "services/EngineContract.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// The replacement pair allocates with malloc and frees with free; GCC cannot see that they
// belong together once it inlines them and warns about a mismatch that is not there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace {

struct Run {
    explicit Run(const char* system = "nacl", const char* options = "/mode=1") {
        solver = factory.CreateSolver("");
        thermo = factory.CreateThermo("");
        reader = factory.CreateSystemReader("");
        std::int16_t flag = 0;
        solver->OpenDatabase("thermo");
        thermo->OpenDatabase("thermo", flag);
        solver->SetOptions(options);
        solver->LoadSystem(system);
        if (solver->GetMessage() != "System file accepted") {
            std::fprintf(stderr, "%s\n", solver->GetMessage().c_str());
            std::abort();
        }
        reader->ReadSystem(system, info, flag);
        pmc.Redim(info.SubstanceCount);
        pmc[1] = 1e-30;                             // O2,g
        if (info.SubstanceCount > 1) pmc[2] = 1.0;  // H2O
        composition.Redim(info.ElementCount);
        composition[0] = 55.50843;
        composition[3] = 0.5;  // Na
        composition[4] = 0.5;  // Cl
        amounts.Redim(info.LastAqueous - info.SubstanceCount);
        lnActivities.Redim(info.LastAqueous - info.SubstanceCount);
        for (int s = info.SubstanceCount + 1; s <= info.LastAqueous; ++s) {
            if (info.SpeciesNames[s] == "NaCl,aq") position = s - info.SubstanceCount;
        }
    }
    void Calculate(float tempC) {
        std::int16_t scratch = 0;
        solver->Calculate(tempC, 500.0f, pmc, composition, amounts, lnActivities, scratch);
    }
    bool Ok() { return solver->GetMessage() == "OK"; }

    varsel::engine::EngineFactory factory;
    std::unique_ptr<varsel::ISolver> solver;
    std::unique_ptr<varsel::IThermo> thermo;
    std::unique_ptr<varsel::ISystemReader> reader;
    varsel::SystemInfo info;
    varsel::Array1<double> pmc, composition, amounts, lnActivities;
    std::int16_t position = 0;
};

void Measure(benchmark::State& state, bool warm, bool newConditions) {
    Run run;
    run.solver->SetSwitch(varsel::kWarmStartSwitch, warm ? 1 : 0);
    run.Calculate(300.0f);
    if (!run.Ok()) state.SkipWithError("the first calculation failed");
    // The computed value of NaCl,aq, moved by ±0.05 kJ/mol from call to call as a fit does.
    const float base = -400.0f;
    long calls = 0;
    const long before = allocations.load();
    for (auto _ : state) {
        run.solver->SetSpeciesValue(run.position, base + ((calls & 1) ? 0.05f : -0.05f));
        run.Calculate(newConditions && (calls & 1) ? 300.5f : 300.0f);
        ++calls;
        if (!run.Ok()) state.SkipWithError("a calculation failed");
    }
    state.counters["allocs_per_call"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(calls);
}

void BM_CalculateWarm(benchmark::State& state) {
    Measure(state, true, false);
}
void BM_CalculateCold(benchmark::State& state) {
    Measure(state, false, false);
}
void BM_CalculateNewConditions(benchmark::State& state) {
    Measure(state, true, true);
}

// Warm calls with the activity model of `options` on `system`. Between calls the oxygen
// activity moves by 10 %, or with `moveNaCl` the value of NaCl,aq by ±0.05 kJ/mol as in
// BM_CalculateWarm (the nacl System only).
void MeasureModel(benchmark::State& state, const char* system, const char* options,
                  bool moveNaCl = false) {
    Run run(system, options);
    run.Calculate(300.0f);
    if (!run.Ok()) state.SkipWithError(run.solver->GetMessage().c_str());
    long calls = 0;
    const long before = allocations.load();
    for (auto _ : state) {
        if (moveNaCl)
            run.solver->SetSpeciesValue(run.position, -400.0f + ((calls & 1) ? 0.05f : -0.05f));
        else
            run.pmc[1] = (calls & 1) ? 1.1e-30 : 1e-30;
        run.Calculate(300.0f);
        ++calls;
        if (!run.Ok()) {
            std::fprintf(stderr, "%s\n", run.solver->GetMessage().c_str());
            state.SkipWithError("a calculation failed");
            break;
        }
    }
    state.counters["allocs_per_call"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(calls);
}

// Warm calls on nacl-ph with the value of NaCl,aq moving by ±0.05 kJ/mol as in a fit: with
// the pH imposed (4, met by HCl), and without, the same calculation otherwise.
void MeasurePh(benchmark::State& state, bool imposed) {
    Run run("nacl-ph");
    if (imposed) run.solver->SetPh(4.0);
    run.Calculate(300.0f);
    if (!run.Ok()) state.SkipWithError(run.solver->GetMessage().c_str());
    long calls = 0;
    const long before = allocations.load();
    for (auto _ : state) {
        run.solver->SetSpeciesValue(run.position, -400.0f + ((calls & 1) ? 0.05f : -0.05f));
        run.Calculate(300.0f);
        ++calls;
        if (!run.Ok()) {
            state.SkipWithError(run.solver->GetMessage().c_str());
            break;
        }
    }
    state.counters["allocs_per_call"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(calls);
}

}  // namespace

BENCHMARK_CAPTURE(MeasurePh, free, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasurePh, ph4, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, bdot, "nacl", "/mode=1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, hkf81, "nacl", "/mode=1 /act=hkf81")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, ideal, "nacl", "/mode=1 /act=ideal")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, bdot_movenacl, "nacl", "/mode=1", true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, hkf81_movenacl, "nacl", "/mode=1 /act=hkf81", true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, bdot_naclpitzer, "nacl-pitzer", "/mode=1")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureModel, pitzer_naclpitzer, "nacl-pitzer", "/mode=1 /act=pitzer")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculateWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculateCold)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculateNewConditions)->Unit(benchmark::kMicrosecond);
