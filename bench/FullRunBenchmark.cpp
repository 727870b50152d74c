// The whole run (read, fit, intervals, save) of the silver chloride example with the real
// engine: the time of one run, with the engine calculations and iterations it took as
// counters. Each run works on a fresh copy of the example, since a run rewrites its file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/EngineFactory.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/Engine.h"
#include "services/Platform.h"
#include "services/Window.h"
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

// A window that only counts the iterations and remembers whether the results were saved.
class QuietWindow : public varsel::IWindow {
  public:
    std::string path;
    long iterations = 0;
    bool saved = false;
    std::string PathText() override { return path; }
    void SetPathText(const std::string& text) override { path = text; }
    void SetStatusCaption(const std::string& caption) override {
        if (caption.rfind("Iteration:", 0) == 0) ++iterations;
    }
    void SetStartVisible(bool) override {}
    void SetBrowseEnabled(bool) override {}
    void SetPathEnabled(bool) override {}
    void ProcessEvents() override {}
    void Pause(int) override {}
    void TakeFocus() override {}
    varsel::LabelGeometry StatusGeometry() override { return {}; }
    void DrawFilledRectangle(float, float, float, float, int, int, int) override {}
    void ClearDrawing() override {}
    varsel::MessageAnswer ShowMessage(const std::string& text, varsel::MessageButtons,
                                      varsel::MessageIcon) override {
        if (text == "Results are saved  ") saved = true;
        return varsel::MessageAnswer::No;
    }
};

void FullRunOfTheSilverChlorideExample(benchmark::State& state) {
    const fs::path example = fs::path(VARSEL_EXAMPLES_DIR) / "agcl.txt";
    const fs::path folder = fs::temp_directory_path() / "varsel-bench-full-run";
    fs::create_directories(folder);
    CountingFactory factory;
    QuietWindow window;
    window.path = "agcl.txt";
    varsel::ThePlatform().Window = &window;
    varsel::ThePlatform().Engine = &factory;
    varsel::SetDecimalSeparator('.');
    long runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(example, folder / "agcl.txt", fs::copy_options::overwrite_existing);
        varsel::ResetModel();
        varsel::Model().WorkFolder = folder.string() + "/";
        window.saved = false;
        state.ResumeTiming();
        varsel::RunSequence();
        if (!window.saved) state.SkipWithError("the run did not save its results");
        ++runs;
    }
    state.counters["calculations"] =
        benchmark::Counter(static_cast<double>(factory.calculations) / static_cast<double>(runs));
    state.counters["iterations"] =
        benchmark::Counter(static_cast<double>(window.iterations) / static_cast<double>(runs));
    varsel::ThePlatform() = varsel::Platform();
    fs::remove_all(folder);
}

BENCHMARK(FullRunOfTheSilverChlorideExample)->Unit(benchmark::kMillisecond);

}  // namespace
