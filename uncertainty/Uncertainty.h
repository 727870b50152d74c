// Intervals of the fitted species that do not rest on a quadratic misfit: profile intervals
// and a residual bootstrap, beside the data file's linear half-widths, with words where the
// three disagree. Built on the public API: every profile point and every replicate is a refit
// of a copy of the problem, so the work spreads over all cores.
//
// For free species p with the optimum x*, the smallest sum of squares S_R and n free species:
// - linear (the data file's): x*ₚ ± sqrt(2 (H⁻¹)ₚₚ Q) with Q = χ²₉₅(n)·n, H the Hessian of S;
// - profile: the values v for which S_p(v) − S_R ≤ T, S_p(v) the smallest S with species p
//   held at v and the others refitted; T = Q ("joint", equal to the linear interval when S is
//   quadratic) or T = χ²₉₅(1) = 3.841 ("individual", the 95 % interval of p alone). Each end
//   is found by a bracketing root search; an end not reached within 1000 kJ/mol is unbounded;
// - bootstrap: the 2.5 % and 97.5 % percentiles of p over B refits of replicate data sets,
//   Y* = Y(calc) + ε*/sqrt(w), ε* drawn with replacement from the centred, leverage-corrected
//   weighted residuals −sqrt(w) r / sqrt(1 − h) (Efron & Tibshirani 1993, ch. 9).
// With ScaleByFit the thresholds (and the linear intervals shown beside them) are multiplied
// by the reduced chi-square S_R / (N − n), for weights that are only relative; the bootstrap
// does not depend on the weights' scale.
//
// Replicate k draws from a random stream of its own, derived from (seed, k), and replicates
// are refitted in fixed groups, each on a fresh copy of the problem, so the result is the same
// for any number of threads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "varsel/FitSummary.h"
#include "varsel/Problem.h"
#include "varsel/Stop.h"

namespace varsel {
class IEngineFactory;
}

namespace varsel::uncertainty {

/// The largest seed: seeds are whole numbers that a JSON number holds exactly.
inline constexpr std::uint64_t kMaxSeed = (std::uint64_t{1} << 53) - 1;
/// How far from the optimum a profile end is looked for, kJ/mol.
inline constexpr double kProfileReach = 1000;
/// Above this share of failed replicates the bootstrap interval is flagged.
inline constexpr double kFailedShareFlagged = 0.05;
/// An end of an individual interval this much beyond or inside the linear one is flagged.
inline constexpr double kDisagreement = 0.20;

struct Options {
    bool Profile = false;
    int Replicates = 0;  ///< bootstrap replicates B; 0: no bootstrap
    std::uint64_t Seed = 0;
    int Threads = 0;  ///< 0: all cores
    bool ScaleByFit = false;
    StopToken Stop;
    /// Work done and work in all, called from the worker threads one call at a time.
    std::function<void(int done, int total)> Progress;
    /// The engine of every copy of the problem; null: Varsel's own. Each call must give a
    /// factory of its own (one factory serves one problem at a time).
    std::function<std::shared_ptr<IEngineFactory>()> Engine;
};

/// One end of a profile interval.
struct End {
    enum class Kind {
        Found,      ///< Value holds the end
        Unbounded,  ///< S − S_R stays below the threshold within kProfileReach
        Failed      ///< a refit on the way failed; Why says which and why
    };
    Kind What = Kind::Failed;
    double Value = 0;  ///< kJ/mol
    std::string Why;
    bool Found() const { return What == Kind::Found; }
};

struct ProfileInterval {
    End Low, High;
};

/// A point of a profile curve: the held value and S(v) − S_R there.
struct ProfilePoint {
    double Value = 0;  ///< kJ/mol
    double Rise = 0;
};

struct SpeciesIntervals {
    std::string Name;
    double Value = 0;          ///< x*, kJ/mol
    double FileHalfWidth = 0;  ///< the data file's half-width (weights as 1/σ²), 0 if none
    /// The linear half-widths at the joint and the individual threshold, in the convention
    /// of the thresholds (scaled with ScaleByFit); 0 when the file has none.
    double LinearJoint = 0, LinearIndividual = 0;
    bool HasProfile = false;
    ProfileInterval Joint, Individual;
    std::vector<ProfilePoint> Curve;  ///< every profile point, in order of value
    bool HasBootstrap = false;
    double BootstrapLow = 0, BootstrapHigh = 0;
};

struct Result {
    /// Why nothing could be estimated (the fit failed, nothing is free); empty otherwise.
    std::string Failure;
    bool Stopped = false;  ///< Stop was asked: no interval is given
    FitSummary Fit;        ///< the fit the intervals are about
    int WeightedSamples = 0;
    double SumOfSquares = 0;  ///< S_R
    bool ScaleByFit = false;
    double Scale = 1;  ///< the factor of the thresholds: 1, or S_R / (N − n)
    double JointThreshold = 0, IndividualThreshold = 0;
    bool Profiled = false;
    int Replicates = 0, Failed = 0;  ///< bootstrap replicates asked for, and failed
    std::string FirstFailure;        ///< why the first failed replicate failed
    std::uint64_t Seed = 0;
    std::vector<SpeciesIntervals> Species;  ///< the free species, in file order
    /// The values of the free species in each replicate that was refitted, in replicate order.
    std::vector<std::vector<double>> ReplicateValues;
    std::vector<std::string> Flags;  ///< disagreements and failures, in words
    double WallSeconds = 0;
    bool Bootstrapped() const { return Replicates > 0 && !Stopped && Failure.empty(); }
};

/// Fits `problem` (whose free species start from their initial values) and estimates the
/// intervals asked for. The problem ends at the optimum; the data file is never written.
/// Never throws for a failing fit or refit: those are in Failure, Failed and the ends.
Result Estimate(Problem& problem, const Options& options);

/// A seed for a bootstrap whose seed was not given: from the system's random source.
std::uint64_t FreshSeed();

/// All cores of the machine, at least one.
int AllCores();

}  // namespace varsel::uncertainty
