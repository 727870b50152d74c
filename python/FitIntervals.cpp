#include "FitIntervals.h"

#include <pybind11/stl.h>

#include <cmath>
#include <exception>
#include <utility>
#include <vector>

#include "Arrays.h"
#include "json/IntervalsJson.h"
#include "json/JsonText.h"
#include "json/SummaryJson.h"
#include "uncertainty/Describe.h"

namespace py = pybind11;

namespace varsel::python {

namespace {

// The copy the intervals are estimated on: the fitted species free and starting at the
// values found, so that the refit of the estimate ends where the fit did.
Problem AtOptimum(const Problem& problem, const FitSummary& fit) {
    Problem copy = problem.Clone();
    const std::vector<SpeciesEntry> species = copy.Species();
    for (const FittedValue& fitted : fit.Species) {
        for (std::size_t i = 0; i < species.size(); ++i) {
            if (species[i].Name == fitted.Name)
                copy.SetSpecies(static_cast<int>(i), fitted.Value, fitted.Value, true);
        }
    }
    return copy;
}

py::object Optional(double value) {
    return std::isfinite(value) ? py::object(py::float_(value)) : py::object(py::none());
}

py::object EndOf(const uncertainty::End& end) {
    return end.Found() ? Optional(end.Value) : py::object(py::none());
}

// [(lo, hi)] per species of a profile interval, or None without profiles.
py::object Profiles(const uncertainty::Result& r,
                    uncertainty::ProfileInterval uncertainty::SpeciesIntervals::*which) {
    if (!r.Profiled || !r.Failure.empty() || r.Stopped) return py::none();
    py::list out;
    for (const uncertainty::SpeciesIntervals& s : r.Species) {
        const uncertainty::ProfileInterval& i = s.*which;
        out.append(py::make_tuple(EndOf(i.Low), EndOf(i.High)));
    }
    return out;
}

py::array_t<double> Linear(const uncertainty::Result& r,
                           double uncertainty::SpeciesIntervals::*which) {
    std::vector<double> widths;
    for (const uncertainty::SpeciesIntervals& s : r.Species)
        widths.push_back(s.*which > 0 ? s.*which : std::nan(""));
    return Array(widths);
}

py::object Text(const std::string& text) {
    return text.empty() ? py::object(py::none()) : py::object(py::str(text));
}

}  // namespace

IntervalRequest CheckedRequest(bool profile, int bootstrap, std::optional<long long> seed,
                               int threads, bool scaleByFit) {
    if (bootstrap < 0) throw py::value_error("bootstrap must be 0 or a number of replicates");
    if (threads < 0) throw py::value_error("threads must be 0 (all cores) or more");
    if (seed && (*seed < 0 || static_cast<std::uint64_t>(*seed) > uncertainty::kMaxSeed))
        throw py::value_error("seed must be from 0 to 2**53 - 1");
    IntervalRequest request;
    request.Profile = profile;
    request.Replicates = bootstrap;
    if (seed) request.Seed = static_cast<std::uint64_t>(*seed);
    request.Threads = threads;
    request.ScaleByFit = scaleByFit;
    return request;
}

FitOutcome FitAndEstimate(Problem& problem, const FitOptions& options,
                          const IntervalRequest& request) {
    FitOutcome outcome;
    static_cast<FitResult&>(outcome) = problem.Fit(options);
    // As on the command line: only a fit that succeeded and, when saving was asked, was
    // written gets intervals.
    if (!request.Wanted() || !outcome.Summary.Succeeded || options.Stop.Requested()) return outcome;
    if (options.Save && !outcome.Saved) return outcome;
    uncertainty::Options estimate;
    estimate.Profile = request.Profile;
    estimate.Replicates = request.Replicates;
    estimate.Seed = request.Seed ? *request.Seed : uncertainty::FreshSeed();
    estimate.Threads = request.Threads;
    estimate.ScaleByFit = request.ScaleByFit;
    estimate.Stop = options.Stop;
    outcome.Intervals = std::make_shared<uncertainty::Result>();
    try {
        Problem copy = AtOptimum(problem, outcome.Summary);
        *outcome.Intervals = uncertainty::Estimate(copy, estimate);
    } catch (const std::exception& failure) {
        outcome.Intervals->Failure = failure.what();
    }
    return outcome;
}

std::string OutcomeJson(const FitOutcome& outcome) {
    nlohmann::json document = json::SummaryDocument(outcome.Summary);
    if (outcome.Intervals) json::AddIntervals(document, *outcome.Intervals);
    return json::JsonText(document);
}

void BindIntervals(py::module_& m) {
    using uncertainty::Result;
    using uncertainty::SpeciesIntervals;
    py::class_<Result, std::shared_ptr<Result>>(
        m, "Intervals",
        "The 95 % intervals of the fitted species beyond the linear half-widths (kJ/mol, in "
        "the order of FitResult.species): profile intervals at the joint threshold (all "
        "species at once; equal to the linear ones when the misfit is quadratic) and the "
        "individual one (chi-square 3.841, one species alone), and the 2.5 and 97.5 % "
        "percentiles of a residual bootstrap. The lists of intervals are None when not "
        "asked for or when the estimate failed or was stopped.")
        .def_property_readonly(
            "species",
            [](const Result& r) {
                std::vector<std::string> names;
                for (const SpeciesIntervals& s : r.Species)
                    names.push_back(s.Name);
                return names;
            },
            "list[str]: the fitted species")
        .def_property_readonly(
            "values",
            [](const Result& r) {
                std::vector<double> values;
                for (const SpeciesIntervals& s : r.Species)
                    values.push_back(s.Value);
                return Array(values);
            },
            "numpy.ndarray: the values the intervals are about, kJ/mol")
        .def_property_readonly(
            "linear_joint",
            [](const Result& r) { return Linear(r, &SpeciesIntervals::LinearJoint); },
            "numpy.ndarray: the linear half-widths at the joint threshold, kJ/mol (NaN where "
            "none)")
        .def_property_readonly(
            "linear_individual",
            [](const Result& r) { return Linear(r, &SpeciesIntervals::LinearIndividual); },
            "numpy.ndarray: the linear half-widths at the individual threshold, kJ/mol")
        .def_property_readonly(
            "profile_joint", [](const Result& r) { return Profiles(r, &SpeciesIntervals::Joint); },
            "list[tuple[float | None, float | None]] | None: the profile interval [lo, hi] at "
            "the joint threshold, kJ/mol; None for an end that is unbounded within 1000 kJ/mol "
            "or whose search failed (see flags)")
        .def_property_readonly(
            "profile_individual",
            [](const Result& r) { return Profiles(r, &SpeciesIntervals::Individual); },
            "list[tuple[float | None, float | None]] | None: the same at the individual "
            "threshold")
        .def_property_readonly(
            "bootstrap",
            [](const Result& r) -> py::object {
                if (r.Replicates == 0 || !r.Failure.empty() || r.Stopped) return py::none();
                py::list out;
                for (const SpeciesIntervals& s : r.Species) {
                    out.append(s.HasBootstrap ? py::make_tuple(Optional(s.BootstrapLow),
                                                               Optional(s.BootstrapHigh))
                                              : py::make_tuple(py::none(), py::none()));
                }
                return out;
            },
            "list[tuple[float | None, float | None]] | None: the bootstrap's 2.5 and 97.5 % "
            "percentiles, kJ/mol")
        .def_property_readonly(
            "replicate_values", [](const Result& r) { return Matrix(r.ReplicateValues); },
            "numpy.ndarray: the species' values in each refitted replicate (replicates x "
            "species), kJ/mol")
        .def_readonly("replicates", &Result::Replicates, "int: bootstrap replicates asked for")
        .def_readonly("failed", &Result::Failed, "int: replicates whose refit failed")
        .def_property_readonly(
            "first_failure", [](const Result& r) { return Text(r.FirstFailure); },
            "str | None: why the first failed replicate failed")
        .def_readonly("seed", &Result::Seed,
                      "int: the bootstrap's seed; the same seed gives the same replicates")
        .def_readonly("joint_threshold", &Result::JointThreshold,
                      "float: the rise of the sum of squares that bounds a joint interval")
        .def_readonly("individual_threshold", &Result::IndividualThreshold,
                      "float: the same for an individual interval")
        .def_readonly("scale", &Result::Scale,
                      "float: the thresholds' factor, 1 or the reduced chi-square with "
                      "scale_by_fit")
        .def_property_readonly("methods", &uncertainty::MethodLines,
                               "list[str]: what each interval rests on, in words")
        .def_readonly("flags", &Result::Flags,
                      "list[str]: where the intervals disagree, and failures, in words")
        .def_property_readonly(
            "failure", [](const Result& r) { return Text(r.Failure); },
            "str | None: why nothing could be estimated")
        .def_readonly("wall_seconds", &Result::WallSeconds, "float: the estimate's duration, s")
        .def("__repr__", [](const Result& r) {
            return "<varsel.Intervals " + std::to_string(r.Species.size()) + " species" +
                   (r.Profiled ? ", profiles" : "") +
                   (r.Replicates > 0 ? ", " + std::to_string(r.Replicates) + " replicates" : "") +
                   (r.Failure.empty() ? "" : ", failed") + ">";
        });
}

}  // namespace varsel::python
