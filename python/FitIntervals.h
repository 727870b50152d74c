// A fit from Python with, when asked, the intervals that do not rest on a quadratic misfit
// (profiles, the residual bootstrap) as varsel-cli --profile / --bootstrap estimates them, and
// its JSON report with them.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "uncertainty/Uncertainty.h"
#include "varsel/Problem.h"

namespace varsel::python {

/// What fit(profile=, bootstrap=, seed=, threads=, scale_by_fit=) asks for.
struct IntervalRequest {
    bool Profile = false;
    int Replicates = 0;                 ///< 0: no bootstrap
    std::optional<std::uint64_t> Seed;  ///< none: a fresh one
    int Threads = 0;                    ///< 0: all cores
    bool ScaleByFit = false;
    bool Wanted() const { return Profile || Replicates > 0; }
};

/// A fit's result and its intervals; no intervals when none were asked for or the fit did
/// not succeed.
struct FitOutcome : FitResult {
    std::shared_ptr<uncertainty::Result> Intervals;
};

/// Checks the request's numbers, raising ValueError with the argument's name.
IntervalRequest CheckedRequest(bool profile, int bootstrap, std::optional<long long> seed,
                               int threads, bool scaleByFit);

/// Fits `problem` and, after a successful fit, estimates the intervals asked for on a copy of
/// it at the optimum (so that edits made in Python count, and the problem is left as the fit
/// left it). `options.Stop` reaches both. Runs without the GIL.
FitOutcome FitAndEstimate(Problem& problem, const FitOptions& options,
                          const IntervalRequest& request);

/// The JSON report of the outcome, the document varsel-cli --report writes.
std::string OutcomeJson(const FitOutcome& outcome);

/// Adds the Intervals class to the module.
void BindIntervals(pybind11::module_& m);

}  // namespace varsel::python
