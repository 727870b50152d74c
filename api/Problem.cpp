#include "varsel/Problem.h"

#include <filesystem>
#include <memory>
#include <utility>

#include "QuietWindow.h"
#include "engine/EngineFactory.h"
#include "model/Checked.h"
#include "model/DataSource.h"
#include "model/Layout.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/Reader.h"
#include "model/ReaderStatus.h"
#include "optim/FitSummary.h"
#include "optim/Misfit.h"
#include "output/ResultsWriter.h"
#include "services/RunContext.h"
#include "shell/RunSequence.h"

namespace fs = std::filesystem;

namespace varsel {

struct Problem::State {
    ProblemModel Model;
    /// Varsel's engine when the caller gave none; one factory, one session, one problem.
    std::unique_ptr<engine::EngineFactory> OwnEngine;
    IEngineFactory* Engine = nullptr;

    explicit State(IEngineFactory* engine) : Engine(engine) {
        if (Engine == nullptr) {
            OwnEngine = std::make_unique<engine::EngineFactory>();
            Engine = OwnEngine.get();
        }
    }

    RunContext Context(IWindow& window, StopToken stop = {}) {
        RunContext context;
        context.Window = &window;
        context.Engine = Engine;
        context.Stop = stop;
        return context;
    }
};

namespace {

// The first message the engine showed, else a general word.
std::string FirstMessage(const api::QuietWindow& window, const std::string& fallback) {
    return window.Messages().empty() ? fallback : window.Messages().front();
}

// Free species positions in file order (1-based species indices).
std::vector<int> FreeSpecies(const ProblemModel& m) {
    std::vector<int> free;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (m.SpeciesFree[i]) free.push_back(i);
    }
    return free;
}

void CheckIndex(int index, int count, const char* what) {
    if (index < 0 || index >= count) {
        throw std::out_of_range(std::string("no ") + what + " " + std::to_string(index) +
                                " (there are " + std::to_string(count) + ")");
    }
}

}  // namespace

Problem::Problem(std::unique_ptr<State> state) : state_(std::move(state)) {}
Problem::Problem(Problem&&) noexcept = default;
Problem& Problem::operator=(Problem&&) noexcept = default;
Problem::~Problem() = default;

Problem Problem::Open(const std::string& path, const OpenOptions& options) {
    if (IsWorkbookPath(path)) {
        throw OpenError(OpenError::Kind::File, 0, 0,
                        "a workbook runs in the office, through the window or varsel-cli: " + path);
    }
    auto state = std::make_unique<State>(options.Engine);
    ProblemModel& m = state->Model;
    m.IgnoreLimits = options.IgnoreLimits ? 1 : 0;
    m.Saving = SavePolicy::Never;
    // The reader takes a name in the working folder, as the window's path box holds it.
    const fs::path file(path);
    std::string name = path;
    if (file.has_filename()) {
        fs::path folder = file.parent_path();
        if (folder.empty()) folder = fs::current_path();
        m.WorkFolder = folder.string();
        if (m.WorkFolder.back() != FolderSeparator()) m.WorkFolder.push_back(FolderSeparator());
        name = file.filename().string();
    }
    api::QuietWindow window(name);
    RunContext context = state->Context(window);
    const std::int16_t status = ReadDataFile(m, context);
    if (status == kCannotOpen) {
        throw OpenError(OpenError::Kind::File, status, m.OpenErrno, m.StatusText);
    }
    if (status == kStatusQuietStop) {
        // Either the file is not a text file, or the engine refused what the file names and
        // said why in a message.
        const bool notText =
            !window.Messages().empty() && window.Messages().front() == "Incorrect file type  ";
        if (notText) {
            throw OpenError(OpenError::Kind::File, 0, 0, "not a text data file (.txt): " + path);
        }
        throw OpenError(OpenError::Kind::Engine, 0, 0,
                        FirstMessage(window, "the engine refused the data file's set-up"));
    }
    if (status != 0) throw OpenError(OpenError::Kind::Content, status, 0, m.StatusText);
    return Problem(std::move(state));
}

Problem Problem::Clone(IEngineFactory* engine) const {
    auto state = std::make_unique<State>(engine);
    state->Model = state_->Model;
    api::QuietWindow window(state->Model.DataPath);
    RunContext context = state->Context(window);
    if (!SetUpEngine(state->Model, context)) {
        throw OpenError(OpenError::Kind::Engine, 0, 0,
                        FirstMessage(window, "the engine refused the problem's set-up"));
    }
    return Problem(std::move(state));
}

std::string Problem::Path() const {
    return state_->Model.DataFile;
}
std::string Problem::Title() const {
    return state_->Model.Title;
}
double Problem::TemperatureC() const {
    return state_->Model.TempC;
}
double Problem::PressureBar() const {
    return state_->Model.PressureBar;
}
std::string Problem::Database() const {
    return state_->Model.Database;
}
std::string Problem::System() const {
    return state_->Model.SystemFile;
}
std::string Problem::Options() const {
    return state_->Model.Options;
}
std::string Problem::XAxis() const {
    return state_->Model.XAxis.Text;
}
std::string Problem::YAxis() const {
    return state_->Model.YAxis.Text;
}

std::vector<SpeciesEntry> Problem::Species() const {
    const ProblemModel& m = state_->Model;
    std::vector<SpeciesEntry> species;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        species.push_back({m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]], m.SpeciesInitial[i],
                           m.SpeciesValue[i], m.SpeciesInterval[i], m.SpeciesFree[i],
                           layout::SpeciesRow(m, i)});
    }
    return species;
}

void Problem::SetSpecies(int i, double initial, double value, bool free) {
    ProblemModel& m = state_->Model;
    CheckIndex(i, m.SpeciesCount, "species");
    const int s = i + 1;
    m.SpeciesInitial[s] = ToStoredFloat(initial);
    m.SpeciesValue[s] = ToStoredFloat(value);
    if (free && m.SpeciesScale[s] == 0) m.SpeciesScale[s] = 1.0f;
    if (m.SpeciesFree[s] != free) {
        m.SpeciesFree[s] = free;
        m.SpeciesInterval[s] = 0;
        m.FreeCount = static_cast<std::int16_t>(FreeSpecies(m).size());
        m.Jacobian.Redim(m.FreeCount, m.SampleCount);
        m.NormalMatrix.Redim(m.FreeCount, m.FreeCount);
    }
}

std::vector<SamplePoint> Problem::Samples() const {
    const ProblemModel& m = state_->Model;
    std::vector<SamplePoint> samples;
    for (int k = 1; k <= m.SampleCount; ++k) {
        const SampleRec& r = m.Samples[k];
        samples.push_back({r.Name, r.XFixed, r.YExp, r.YCalc, r.Error, r.Weight});
    }
    return samples;
}

void Problem::SetSample(int k, double yExp, double weight) {
    ProblemModel& m = state_->Model;
    CheckIndex(k, m.SampleCount, "sample");
    if (!(weight >= 0)) throw std::invalid_argument("a weight must be 0 or more");
    SampleRec& sample = m.Samples[k + 1];
    const double sum = static_cast<double>(m.WeightSum) - sample.Weight + weight;
    sample.YExp = ToStoredFloat(yExp);
    sample.Weight = ToStoredFloat(weight);
    m.WeightSum = ToStoredFloat(sum);
}

Evaluation Problem::Evaluate(const std::vector<double>& freeValues, bool derivatives,
                             StopToken stop) {
    ProblemModel& m = state_->Model;
    const std::vector<int> free = FreeSpecies(m);
    if (freeValues.size() != free.size()) {
        throw std::invalid_argument("expected " + std::to_string(free.size()) +
                                    " values of free species, got " +
                                    std::to_string(freeValues.size()));
    }
    for (std::size_t p = 0; p < free.size(); ++p)
        m.SpeciesValue[free[p]] = ToStoredFloat(freeValues[p]);

    api::QuietWindow window(m.DataPath);
    RunContext context = state_->Context(window, stop);
    m.StatusCode = 0;
    PrepareWork(m);
    FixedPmcActivities(m);
    EvaluateModel(m, context, derivatives ? PassMode::Iteration : PassMode::Final);
    if (m.StatusCode != 0) throw std::runtime_error(m.StatusText);

    Evaluation e;
    e.SumOfSquares = m.Misfit.SumOfSquares;
    for (int k = 1; k <= m.SampleCount; ++k) {
        e.YCalc.push_back(m.Samples[k].YCalc);
        e.Residuals.push_back(m.Samples[k].Error);
    }
    if (derivatives) {
        e.Jacobian.assign(free.size(), std::vector<double>(m.SampleCount, 0.0));
        for (std::size_t p = 0; p < free.size(); ++p) {
            for (int k = 1; k <= m.SampleCount; ++k) {
                if (m.Samples[k].Weight != 0) {
                    e.Jacobian[p][k - 1] = m.Jacobian(static_cast<int>(p) + 1, k);
                }
            }
        }
    }
    return e;
}

FitResult Problem::Fit(const FitOptions& options) {
    ProblemModel& m = state_->Model;
    api::QuietWindow window(m.DataPath, options.Progress);
    RunContext context = state_->Context(window, options.Stop);
    FitResult result;
    m.StatusCode = 0;
    m.StatusText.clear();
    if (options.Save) {
        const std::string problem = SaveProblem(m);
        if (!problem.empty()) {
            result.Summary.Outcome = "Results cannot be saved: " + problem;
            return result;
        }
    }
    result.Summary = SwitchAndFit(m, context, options.Intervals);
    const bool failed = m.StatusCode != 0;
    if (options.Save && (!failed || options.SaveOnFailure)) {
        m.StatusCode = 0;
        SaveResults(m, context);
        result.Saved = m.StatusCode == 0;
        if (failed) m.StatusCode = 1;
    }
    result.Messages = window.Messages();
    return result;
}

ProblemModel& Problem::Core() {
    return state_->Model;
}
const ProblemModel& Problem::Core() const {
    return state_->Model;
}

}  // namespace varsel
