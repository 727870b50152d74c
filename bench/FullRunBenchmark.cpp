// The whole run (read, fit, intervals, save) of the silver chloride example with the real
// engine: the time of one run, with the engine calculations and iterations it took as
// counters. Each run works on a fresh copy of the example, since a run rewrites its file.
// Then fits of the example without a window, on one and on two threads at once: how many
// fits a second one process makes.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/ConsoleWindow.h"
#include "engine/EngineFactory.h"
#include "services/Engine.h"
#include "varsel/Numbers.h"
#include "varsel/Problem.h"
#include "varsel/Run.h"

namespace {

namespace fs = std::filesystem;

// Counts the equilibrium calculations of the Solver it wraps.
class CountingSolver : public varsel::ISolver {
  public:
    CountingSolver(std::unique_ptr<varsel::ISolver> inner, long& count)
        : inner_(std::move(inner)), count_(count) {}
    void OpenDatabase(const std::string& name) override { inner_->OpenDatabase(name); }
    void SetOptions(const std::string& options) override { inner_->SetOptions(options); }
    void LoadSystem(const std::string& file) override { inner_->LoadSystem(file); }
    std::string GetMessage() override { return inner_->GetMessage(); }
    void SetSwitch(std::int16_t which, std::int16_t value) override {
        inner_->SetSwitch(which, value);
    }
    void SetSpeciesValue(std::int16_t position, float value) override {
        inner_->SetSpeciesValue(position, value);
    }
    void Calculate(float tempC, float pressureBar, const varsel::Array1<double>& pmc,
                   const varsel::Array1<double>& composition, varsel::Array1<double>& amounts,
                   varsel::Array1<double>& lnActivities, std::int16_t& scratch) override {
        ++count_;
        inner_->Calculate(tempC, pressureBar, pmc, composition, amounts, lnActivities, scratch);
    }
    void SetPh(double ph) override { inner_->SetPh(ph); }
    double GetTitrantAmount() override { return inner_->GetTitrantAmount(); }
    std::string GetDatabase() override { return inner_->GetDatabase(); }
    std::string GetSystemFile() override { return inner_->GetSystemFile(); }
    std::string GetOptions() override { return inner_->GetOptions(); }
    void Close() override { inner_->Close(); }

  private:
    std::unique_ptr<varsel::ISolver> inner_;
    long& count_;
};

class CountingFactory : public varsel::IEngineFactory {
  public:
    long calculations = 0;
    std::unique_ptr<varsel::ISolver> CreateSolver(const std::string& folder) override {
        return std::make_unique<CountingSolver>(engine_.CreateSolver(folder), calculations);
    }
    std::unique_ptr<varsel::IThermo> CreateThermo(const std::string& folder) override {
        return engine_.CreateThermo(folder);
    }
    std::unique_ptr<varsel::ISystemReader> CreateSystemReader(const std::string& folder) override {
        return engine_.CreateSystemReader(folder);
    }

  private:
    varsel::engine::EngineFactory engine_;
};

// The command line's window, silenced, counting the iterations it is told about.
class CountingWindow : public varsel::cli::ConsoleWindow {
  public:
    explicit CountingWindow(std::FILE* sink) : ConsoleWindow(sink, false) {}
    long iterations = 0;
    void SetStatusCaption(const std::string& caption) override {
        if (caption.rfind("Iteration:", 0) == 0) ++iterations;
        ConsoleWindow::SetStatusCaption(caption);
    }
};

void FullRunOfTheSilverChlorideExample(benchmark::State& state) {
    const fs::path example = fs::path(VARSEL_EXAMPLES_DIR) / "agcl.txt";
    const fs::path folder = fs::temp_directory_path() / "varsel-bench-full-run";
    fs::create_directories(folder);
    CountingFactory factory;
    std::FILE* sink = std::fopen("/dev/null", "w");
    CountingWindow window(sink);
    varsel::SetDecimalSeparator('.');
    varsel::RunOptions options;
    options.WorkFolder = folder.string() + "/";
    options.Saving = varsel::SavePolicy::Stop;
    options.Engine = &factory;
    long runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(example, folder / "agcl.txt", fs::copy_options::overwrite_existing);
        window.SetPathText("agcl.txt");
        state.ResumeTiming();
        const varsel::RunResult result = varsel::Run(window, options);
        if (result.StatusCode != 0 || !result.Saved || window.FailureShown()) {
            state.SkipWithError("the run did not save its results");
        }
        ++runs;
    }
    state.counters["calculations"] =
        benchmark::Counter(static_cast<double>(factory.calculations) / static_cast<double>(runs));
    state.counters["iterations"] =
        benchmark::Counter(static_cast<double>(window.iterations) / static_cast<double>(runs));
    std::fclose(sink);
    fs::remove_all(folder);
}

BENCHMARK(FullRunOfTheSilverChlorideExample)->Unit(benchmark::kMillisecond);

// Reads and fits the example (with its confidence intervals, without saving) eight times, the
// fits shared out over state.range(0) threads, every problem with its own engine session;
// items per second is the number of fits the process makes a second.
void FitsPerSecond(benchmark::State& state) {
    const std::string example = std::string(VARSEL_EXAMPLES_DIR) + "/agcl.txt";
    const int threads = static_cast<int>(state.range(0));
    constexpr int kFits = 8;
    std::atomic<int> failures{0};
    const auto fitSome = [&](int first) {
        for (int k = first; k < kFits; k += threads) {
            varsel::Problem problem = varsel::Problem::Open(example);
            if (!problem.Fit().Summary.Succeeded) ++failures;
        }
    };
    for (auto _ : state) {
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(fitSome, t);
        fitSome(0);
        for (std::thread& thread : pool)
            thread.join();
    }
    if (failures > 0) state.SkipWithError("a fit failed");
    state.SetItemsProcessed(state.iterations() * kFits);
}

BENCHMARK(FitsPerSecond)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(1)->Arg(2);

}  // namespace
