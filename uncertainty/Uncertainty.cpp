#include "uncertainty/Uncertainty.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "uncertainty/Agreement.h"
#include "uncertainty/Bootstrap.h"
#include "uncertainty/Profile.h"
#include "uncertainty/TaskPool.h"
#include "varsel/Statistics.h"

namespace varsel::uncertainty {

namespace {

// Replicates are refitted in groups of this many, each group in order on a fresh copy of the
// problem. The engine starts every equilibrium from the one before, so a replicate's values
// depend on what the copy computed before it; fixed groups make that the same for any number
// of threads. A copy costs about as much as three refits, so the groups are not small.
constexpr int kGroup = 25;
// A profile side counts as this many replicates in the progress (its refits, about).
constexpr int kSideWork = 10;

// A copy of the problem with the engine it runs on, which outlives it.
struct Copy {
    std::shared_ptr<IEngineFactory> Engine;
    std::optional<Problem> Instance;
};

Copy MakeCopy(const Problem& problem, const Options& options) {
    Copy copy;
    if (options.Engine) copy.Engine = options.Engine();
    copy.Instance.emplace(problem.Clone(copy.Engine.get()));
    return copy;
}

double SumOfSquares(const std::vector<SamplePoint>& samples) {
    double sum = 0;
    for (const SamplePoint& p : samples)
        sum += p.Weight * p.Error * p.Error;
    return sum;
}

// Sets the thresholds, the linear half-widths and the species of `r` from its fit; false
// with Failure set when the intervals cannot be estimated.
bool SetUp(Result& r, const std::vector<SpeciesEntry>& entries) {
    const FitSummary& fit = r.Fit;
    if (!fit.Succeeded) {
        r.Failure = "the fit failed: " + fit.Outcome;
        return false;
    }
    const int n = static_cast<int>(fit.Species.size());
    if (n == 0) {
        r.Failure = "no species is free, so there is no interval to estimate";
        return false;
    }
    r.SumOfSquares = SumOfSquares(fit.Samples);
    for (const SamplePoint& p : fit.Samples)
        if (p.Weight > 0) ++r.WeightedSamples;
    if (r.ScaleByFit) {
        if (r.WeightedSamples <= n) {
            r.Failure = "scaling by the fit needs more weighted samples than free species";
            return false;
        }
        r.Scale = r.SumOfSquares / (r.WeightedSamples - n);
    }
    const double fileThreshold = ChiSquareQuantile95(n) * n;
    r.JointThreshold = fileThreshold * r.Scale;
    r.IndividualThreshold = ChiSquareQuantile95(1) * r.Scale;
    for (const SpeciesEntry& e : entries) {
        if (!e.Free) continue;
        SpeciesIntervals s;
        s.Name = e.Name;
        s.Value = e.Value;
        s.FileHalfWidth = e.HalfWidth;
        // sqrt(2 g T) for a threshold T, from the file's sqrt(2 g Q).
        s.LinearJoint = e.HalfWidth * std::sqrt(r.JointThreshold / fileThreshold);
        s.LinearIndividual = e.HalfWidth * std::sqrt(r.IndividualThreshold / fileThreshold);
        r.Species.push_back(std::move(s));
    }
    return true;
}

class Progress {
  public:
    Progress(const Options& options, int total) : callback_(options.Progress), total_(total) {}
    void Add(int work) {
        const int done = done_ += work;
        if (!callback_) return;
        std::lock_guard<std::mutex> lock(mutex_);
        callback_(done, total_);
    }

  private:
    const std::function<void(int, int)>& callback_;
    int total_;
    std::atomic<int> done_{0};
    std::mutex mutex_;
};

}  // namespace

Result Estimate(Problem& problem, const Options& options) {
    const auto started = std::chrono::steady_clock::now();
    Result r;
    r.Seed = options.Seed;
    r.ScaleByFit = options.ScaleByFit;
    r.Replicates = std::max(0, options.Replicates);
    r.Profiled = options.Profile;
    FitOptions fitOptions;
    fitOptions.Stop = options.Stop;
    r.Fit = problem.Fit(fitOptions).Summary;
    if (options.Stop.Requested()) {
        r.Stopped = true;
        return r;
    }
    const std::vector<SpeciesEntry> entries = problem.Species();
    if (!SetUp(r, entries)) return r;

    std::vector<int> free;
    std::vector<double> optimum;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].Free) continue;
        free.push_back(static_cast<int>(i));
        optimum.push_back(entries[i].Value);
    }
    const std::vector<SamplePoint> samples = problem.Samples();

    std::optional<BootstrapBase> base;
    if (r.Replicates > 0) {
        try {
            base = MakeBase(problem.Evaluate(optimum, true, options.Stop), samples, free, optimum);
        } catch (const std::exception& failure) {
            r.Failed = r.Replicates;
            r.FirstFailure = failure.what();
        }
    }

    const int sides = options.Profile ? 2 * static_cast<int>(free.size()) : 0;
    const int groups = base ? (r.Replicates + kGroup - 1) / kGroup : 0;
    std::vector<ProfileSide> traced(static_cast<std::size_t>(sides));
    std::vector<Refitted> replicates(base ? static_cast<std::size_t>(r.Replicates) : 0);
    std::vector<double> weights;
    for (const SamplePoint& p : samples)
        weights.push_back(p.Weight);
    Progress progress(options, sides * kSideWork + (base ? r.Replicates : 0));

    const auto task = [&](int t) {
        if (t < sides) {
            const std::size_t p = static_cast<std::size_t>(t / 2);
            ProfileTask side;
            side.Name = r.Species[p].Name;
            side.Species = free[p];
            side.Side = t % 2 == 0 ? -1 : 1;
            side.Optimum = optimum[p];
            side.FreeSpecies = free;
            side.FreeOptimum = optimum;
            side.Weights = weights;
            side.SumOfSquares = r.SumOfSquares;
            side.Individual = r.IndividualThreshold;
            side.Joint = r.JointThreshold;
            side.FirstStep = r.Species[p].LinearIndividual > 0 ? r.Species[p].LinearIndividual : 1;
            try {
                Copy copy = MakeCopy(problem, options);
                traced[t] = TraceSide(*copy.Instance, side, options.Stop);
            } catch (const std::exception& failure) {
                traced[t].Individual = traced[t].Joint = {End::Kind::Failed, 0, failure.what()};
            }
            progress.Add(kSideWork);
            return;
        }
        const int first = (t - sides) * kGroup;
        const int last = std::min(r.Replicates, first + kGroup);
        try {
            Copy copy = MakeCopy(problem, options);
            for (int k = first; k < last && !options.Stop.Requested(); ++k) {
                const std::vector<double> y =
                    ReplicateY(*base, r.Seed, static_cast<std::uint64_t>(k));
                replicates[k] = RefitReplicate(*copy.Instance, *base, y, options.Stop);
                progress.Add(1);
            }
        } catch (const std::exception& failure) {
            for (int k = first; k < last; ++k)
                replicates[k] = {false, {}, failure.what()};
        }
    };
    const int threads = options.Threads > 0 ? options.Threads : AllCores();
    RunTasks(sides + groups, threads, task, options.Stop);
    if (options.Stop.Requested()) {
        r.Stopped = true;
        return r;
    }

    for (std::size_t p = 0; p < r.Species.size() && sides > 0; ++p) {
        SpeciesIntervals& s = r.Species[p];
        const ProfileSide& low = traced[2 * p];
        const ProfileSide& high = traced[2 * p + 1];
        s.HasProfile = true;
        s.Individual = {low.Individual, high.Individual};
        s.Joint = {low.Joint, high.Joint};
        for (const ProfileSide* side : {&low, &high})
            s.Curve.insert(s.Curve.end(), side->Points.begin(), side->Points.end());
        std::sort(s.Curve.begin(), s.Curve.end(),
                  [](const ProfilePoint& a, const ProfilePoint& b) { return a.Value < b.Value; });
        // Both sides begin at the optimum; it is shown once.
        s.Curve.erase(std::unique(s.Curve.begin(), s.Curve.end(),
                                  [](const ProfilePoint& a, const ProfilePoint& b) {
                                      return a.Value == b.Value;
                                  }),
                      s.Curve.end());
    }

    for (const Refitted& replicate : replicates) {
        if (replicate.Succeeded) {
            r.ReplicateValues.push_back(replicate.Values);
            continue;
        }
        if (r.Failed++ == 0) r.FirstFailure = replicate.Why;
    }
    if (r.ReplicateValues.size() >= 2) {
        for (std::size_t p = 0; p < r.Species.size(); ++p) {
            std::vector<double> values;
            for (const std::vector<double>& replicate : r.ReplicateValues)
                values.push_back(replicate[p]);
            r.Species[p].HasBootstrap = true;
            r.Species[p].BootstrapLow = Percentile(values, 0.025);
            r.Species[p].BootstrapHigh = Percentile(values, 0.975);
        }
    }
    r.Flags = DisagreementFlags(r);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    r.WallSeconds = wall.count();
    return r;
}

std::uint64_t FreshSeed() {
    std::random_device device;
    return device();
}

int AllCores() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace varsel::uncertainty
