// The whole run (read, fit, intervals, save) of the silver chloride example with the real
// engine: the time of one run, with the engine calculations and iterations it took as
// counters. Each run works on a fresh copy of the example, since a run rewrites its file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/ConsoleWindow.h"
#include "engine/EngineFactory.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/Engine.h"
#include "services/Platform.h"
#include "shell/RunSequence.h"

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
    varsel::ThePlatform().Window = &window;
    varsel::ThePlatform().Engine = &factory;
    varsel::SetDecimalSeparator('.');
    long runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(example, folder / "agcl.txt", fs::copy_options::overwrite_existing);
        varsel::ResetModel();
        varsel::Model().WorkFolder = folder.string() + "/";
        window.SetPathText("agcl.txt");
        state.ResumeTiming();
        varsel::RunSequence();
        if (varsel::Model().StatusCode != 0 || window.FailureShown()) {
            state.SkipWithError("the run did not save its results");
        }
        ++runs;
    }
    state.counters["calculations"] =
        benchmark::Counter(static_cast<double>(factory.calculations) / static_cast<double>(runs));
    state.counters["iterations"] =
        benchmark::Counter(static_cast<double>(window.iterations) / static_cast<double>(runs));
    varsel::ThePlatform() = varsel::Platform();
    std::fclose(sink);
    fs::remove_all(folder);
}

BENCHMARK(FullRunOfTheSilverChlorideExample)->Unit(benchmark::kMillisecond);

}  // namespace
