// varsel.read, varsel.Problem and varsel.FitResult over include/varsel/Problem.h.
#include "ProblemBindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "Arrays.h"
#include "FitIntervals.h"
#include "Interrupt.h"
#include "varsel/Problem.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace varsel::python {

namespace {

// A problem as Python holds it. A fit runs on a worker thread with the GIL released (see
// Interrupt.h), so another Python thread could reach the problem meanwhile: every use checks
// that no fit or evaluation holds it.
class PyProblem {
  public:
    explicit PyProblem(Problem problem) : problem_(std::move(problem)) {}

    Problem& Get() {
        if (busy_) throw std::runtime_error("the problem is being fitted on another thread");
        return problem_;
    }

    // Runs long work on the problem, holding it meanwhile.
    template <typename Result>
    Result Run(std::function<Result(Problem&, StopToken)> work) {
        Problem& problem = Get();
        busy_ = true;
        struct Release {
            std::atomic<bool>& Busy;
            ~Release() { Busy = false; }
        } release{busy_};
        return Interruptible<Result>(
            [&problem, &work](StopToken stop) { return work(problem, stop); });
    }

  private:
    Problem problem_;
    std::atomic<bool> busy_{false};
};

// The position of a species given by index (negative from the end) or by name.
int SpeciesIndex(const Problem& problem, const std::variant<int, std::string>& key) {
    const std::vector<SpeciesEntry> species = problem.Species();
    const int count = static_cast<int>(species.size());
    if (const int* index = std::get_if<int>(&key)) {
        const int i = *index < 0 ? *index + count : *index;
        if (i < 0 || i >= count)
            throw py::index_error("no species " + std::to_string(*index) + " (there are " +
                                  std::to_string(count) + ")");
        return i;
    }
    const std::string& name = std::get<std::string>(key);
    for (int i = 0; i < count; ++i) {
        if (species[static_cast<std::size_t>(i)].Name == name) return i;
    }
    throw py::key_error("no species " + name + " in the problem");
}

// A one-dimensional array of one value per sample.
std::vector<double> PerSample(const py::array_t<double, py::array::forcecast>& values,
                              std::size_t count, const char* what) {
    if (values.ndim() != 1 || static_cast<std::size_t>(values.shape(0)) != count)
        throw py::value_error(std::string(what) + " needs one value per sample (" +
                              std::to_string(count) + ")");
    auto cells = values.unchecked<1>();
    std::vector<double> out;
    for (py::ssize_t k = 0; k < cells.shape(0); ++k)
        out.push_back(cells(k));
    return out;
}

void SetSample(Problem& problem, std::size_t k, std::optional<double> yExp,
               std::optional<double> weight) {
    const SamplePoint now = problem.Samples()[k];
    const double y = yExp.value_or(now.YExp);
    const double w = weight.value_or(now.Weight);
    if (!std::isfinite(y) || !std::isfinite(w))
        throw py::value_error("sample " + now.Name + ": Y (exp) and weight must be finite");
    problem.SetSample(static_cast<int>(k), y, w);
}

// Reads a data file, turning OpenError into the Python error that fits it.
std::unique_ptr<PyProblem> Read(const fs::path& path, bool ignoreLimits) {
    OpenOptions options;
    options.IgnoreLimits = ignoreLimits;
    // The problem and its report name the file by its full path, as the command line does.
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    try {
        return std::make_unique<PyProblem>(Problem::Open(full.string(), options));
    } catch (const OpenError& e) {
        int error = e.SystemError();
        if (error == 0 && e.What() == OpenError::Kind::File && fs::is_directory(path, ec))
            error = EISDIR;
        if (error != 0) {
            // OSError(errno, strerror, path) becomes FileNotFoundError, PermissionError, ...
            py::object oserror = py::reinterpret_borrow<py::object>(PyExc_OSError);
            const py::object instance =
                oserror(error, py::module_::import("os").attr("strerror")(error), path.string());
            PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(instance.ptr())), instance.ptr());
            throw py::error_already_set();
        }
        throw py::value_error(e.what());
    }
}

py::object OptionalNumber(bool has, double value) {
    return has && std::isfinite(value) ? py::object(py::float_(value)) : py::object(py::none());
}

}  // namespace

void BindProblem(py::module_& m) {
    py::class_<SpeciesEntry>(m, "Species",
                             "One species of a problem's species table (kJ/mol: standard "
                             "potentials at the problem's temperature and pressure).")
        .def_readonly("name", &SpeciesEntry::Name, "str: the species")
        .def_readonly("initial", &SpeciesEntry::Initial, "float: where a fit starts, kJ/mol")
        .def_readonly("value", &SpeciesEntry::Value,
                      "float: kJ/mol; the file's Result of a fixed species, the fit's of a "
                      "free one")
        .def_readonly("half_width", &SpeciesEntry::HalfWidth,
                      "float: the 95 % half-width, kJ/mol; 0 when none is known")
        .def_readonly("free", &SpeciesEntry::Free,
                      "bool: fitted (its Result was empty), else held at value")
        .def("__repr__", [](const SpeciesEntry& s) {
            return "<varsel.Species " + s.Name + (s.Free ? " free" : " fixed") +
                   " initial=" + std::to_string(s.Initial) + " value=" + std::to_string(s.Value) +
                   " kJ/mol>";
        });

    py::class_<FitOutcome>(m, "FitResult",
                           "What a fit learned: the fitted species' values and 95 % half-widths "
                           "(kJ/mol), their correlation, every sample's X, Y (exp), Y (calc), "
                           "error and weight, the mean errors and the effort.")
        .def_property_readonly(
            "succeeded", [](const FitOutcome& r) { return r.Summary.Succeeded; },
            "bool: the fit ran to its end")
        .def_property_readonly(
            "failure",
            [](const FitOutcome& r) {
                return r.Summary.Outcome.empty() ? py::object(py::none())
                                                 : py::object(py::str(r.Summary.Outcome));
            },
            "str | None: why the fit failed or stopped")
        .def_property_readonly(
            "nothing_to_fit", [](const FitOutcome& r) { return r.Summary.NothingToFit; },
            "bool: every species had a Result; the mean error was recalculated")
        .def_readonly("saved", &FitResult::Saved, "bool: the results are in the data file")
        .def_readonly("messages", &FitResult::Messages,
                      "list[str]: what a window would have shown (warnings, write failures)")
        .def_property_readonly(
            "species",
            [](const FitOutcome& r) {
                std::vector<std::string> names;
                for (const FittedValue& v : r.Summary.Species)
                    names.push_back(v.Name);
                return names;
            },
            "list[str]: the fitted species, in file order")
        .def_property_readonly(
            "values",
            [](const FitOutcome& r) {
                std::vector<double> values;
                for (const FittedValue& v : r.Summary.Species)
                    values.push_back(v.Value);
                return Array(values);
            },
            "numpy.ndarray: the fitted standard potentials, kJ/mol")
        .def_property_readonly(
            "half_widths",
            [](const FitOutcome& r) {
                std::vector<double> widths;
                for (const FittedValue& v : r.Summary.Species)
                    widths.push_back(v.HalfWidth > 0 ? v.HalfWidth : std::nan(""));
                return Array(widths);
            },
            "numpy.ndarray: the 95 % half-widths, kJ/mol; NaN where none could be estimated")
        .def_property_readonly(
            "fixed",
            [](const FitOutcome& r) {
                py::dict fixed;
                for (const FittedValue& v : r.Summary.FixedSpecies)
                    fixed[py::str(v.Name)] = v.Value;
                return fixed;
            },
            "dict[str, float]: the species held at their Result, kJ/mol")
        .def_property_readonly(
            "correlation", [](const FitOutcome& r) { return Matrix(r.Summary.Correlation); },
            "numpy.ndarray: the correlation matrix of the fitted species (n x n); shape (0, 0) "
            "when no Hessian was inverted")
        .def_property_readonly(
            "samples", [](const FitOutcome& r) { return TableOf(r.Summary.Samples); },
            "SampleTable: every sample's X, Y (exp), Y (calc), error and weight")
        .def_property_readonly(
            "mean_error_before",
            [](const FitOutcome& r) {
                return OptionalNumber(r.Summary.HasWeights, r.Summary.MeanErrorBefore);
            },
            "float | None: sqrt(S / sum of weights) at the initial values, in units of Y")
        .def_property_readonly(
            "mean_error_after",
            [](const FitOutcome& r) {
                return OptionalNumber(r.Summary.HasMeanErrorAfter, r.Summary.MeanErrorAfter);
            },
            "float | None: the same at the values found")
        .def_property_readonly(
            "iterations", [](const FitOutcome& r) { return r.Summary.Iterations; },
            "int: iterations of the minimisation")
        .def_property_readonly(
            "engine_calculations", [](const FitOutcome& r) { return r.Summary.EngineCalculations; },
            "int: equilibria the engine computed")
        .def_property_readonly(
            "wall_seconds", [](const FitOutcome& r) { return r.Summary.WallSeconds; },
            "float: the fit's duration, s")
        .def_property_readonly(
            "flags", [](const FitOutcome& r) { return r.Summary.Flags; },
            "list[str]: the warnings in words (strong correlations, poorly determined species)")
        .def_property_readonly(
            "x_label", [](const FitOutcome& r) { return r.Summary.X.Quantity; },
            "str: what X is, as an axis title (\"log10 m(Cl)\")")
        .def_property_readonly(
            "y_label", [](const FitOutcome& r) { return r.Summary.Y.Quantity; },
            "str: what Y is, as an axis title")
        .def_readonly("intervals", &FitOutcome::Intervals,
                      "Intervals | None: the profile and bootstrap intervals that fit(profile=, "
                      "bootstrap=) asked for; None when none were asked for or the fit failed")
        .def("to_json", &OutcomeJson,
             "The fit as the JSON report that varsel-cli --report FILE.json writes (members "
             "listed in the report's documentation), with the intervals when it has them.")
        .def("__repr__", [](const FitOutcome& r) {
            return std::string("<varsel.FitResult ") +
                   (r.Summary.Succeeded ? "succeeded" : "failed") + ", " +
                   std::to_string(r.Summary.Species.size()) + " species, " +
                   std::to_string(r.Summary.Samples.size()) + " samples>";
        });

    py::class_<PyProblem>(m, "Problem",
                          "A data file read into a problem that can be changed, evaluated and "
                          "fitted without writing the file. Make one with varsel.read(path).")
        .def_property_readonly(
            "path", [](PyProblem& p) { return p.Get().Path(); }, "str: the data file's full path")
        .def_property_readonly(
            "title", [](PyProblem& p) { return p.Get().Title(); }, "str: the file's title")
        .def_property_readonly(
            "temperature", [](PyProblem& p) { return p.Get().TemperatureC(); },
            "float: the temperature, °C")
        .def_property_readonly(
            "pressure", [](PyProblem& p) { return p.Get().PressureBar(); },
            "float: the pressure, bar")
        .def_property_readonly(
            "database", [](PyProblem& p) { return p.Get().Database(); },
            "str: the thermodynamic database as the file names it")
        .def_property_readonly(
            "system", [](PyProblem& p) { return p.Get().System(); },
            "str: the System file as the file names it")
        .def_property_readonly(
            "x_axis", [](PyProblem& p) { return p.Get().XAxis(); },
            "str: the X axis definition (\"m(Cl)\")")
        .def_property_readonly(
            "y_axis", [](PyProblem& p) { return p.Get().YAxis(); }, "str: the Y axis definition")
        .def_property_readonly(
            "species", [](PyProblem& p) { return p.Get().Species(); },
            "list[Species]: the species table, in file order (copies)")
        .def_property_readonly(
            "samples", [](PyProblem& p) { return TableOf(p.Get().Samples()); },
            "SampleTable: the samples as arrays (copies)")
        .def(
            "set_species",
            [](PyProblem& p, const std::variant<int, std::string>& key,
               std::optional<double> initial, std::optional<double> value,
               std::optional<bool> free) {
                Problem& problem = p.Get();
                const int i = SpeciesIndex(problem, key);
                const SpeciesEntry now = problem.Species()[static_cast<std::size_t>(i)];
                const double start = initial.value_or(now.Initial);
                const double held = value.value_or(now.Value);
                if (!std::isfinite(start) || !std::isfinite(held))
                    throw py::value_error("species " + now.Name + ": values must be finite");
                problem.SetSpecies(i, start, held, free.value_or(now.Free));
            },
            py::arg("species"), py::kw_only(), py::arg("initial") = py::none(),
            py::arg("value") = py::none(), py::arg("free") = py::none(),
            "Changes one species (by index or name): where a fit starts (initial, kJ/mol), "
            "the value it is held at (value, kJ/mol) and whether it is fitted (free). Values "
            "are stored as the data file stores them (32-bit floats); the file is not "
            "written.")
        .def(
            "set_samples",
            [](PyProblem& p, std::optional<py::array_t<double, py::array::forcecast>> yExp,
               std::optional<py::array_t<double, py::array::forcecast>> weight) {
                Problem& problem = p.Get();
                const std::size_t count = problem.Samples().size();
                std::vector<double> ys, ws;
                if (yExp) ys = PerSample(*yExp, count, "y_exp");
                if (weight) ws = PerSample(*weight, count, "weight");
                for (std::size_t k = 0; k < count; ++k)
                    SetSample(problem, k, yExp ? std::optional(ys[k]) : std::nullopt,
                              weight ? std::optional(ws[k]) : std::nullopt);
            },
            py::kw_only(), py::arg("y_exp") = py::none(), py::arg("weight") = py::none(),
            "Sets the measured Y and/or the weight of every sample (arrays of one value per "
            "sample, in file order); a weight of 0 leaves a sample out of the fit. The file "
            "is not written.")
        .def(
            "evaluate",
            [](PyProblem& p, const std::vector<double>& values, bool derivatives) {
                const Evaluation e = p.Run<Evaluation>([&](Problem& problem, StopToken stop) {
                    return problem.Evaluate(values, derivatives, stop);
                });
                py::dict out;
                out["sum_of_squares"] = e.SumOfSquares;
                out["y_calc"] = Array(e.YCalc);
                out["residuals"] = Array(e.Residuals);
                out["jacobian"] = Matrix(e.Jacobian);
                return out;
            },
            py::arg("values"), py::arg("derivatives") = false,
            "Evaluates every sample at these values of the free species (kJ/mol, file order), "
            "which the free species keep. Returns a dict: sum_of_squares (S = sum of w (Ycalc "
            "- Yexp)^2), y_calc and residuals (arrays per sample) and, with derivatives, "
            "jacobian (free species x samples, dYcalc/dvalue per kJ/mol; 0 for samples of "
            "weight 0). Releases the GIL; Ctrl+C raises KeyboardInterrupt.")
        .def(
            "fit",
            [](PyProblem& p, bool save, bool saveOnFailure, bool intervals, bool profile,
               int bootstrap, std::optional<long long> seed, int threads, bool scaleByFit) {
                FitOptions options;
                options.Save = save;
                options.SaveOnFailure = saveOnFailure;
                options.Intervals = intervals;
                const IntervalRequest request =
                    CheckedRequest(profile, bootstrap, seed, threads, scaleByFit);
                return p.Run<FitOutcome>([&](Problem& problem, StopToken stop) {
                    FitOptions run = options;
                    run.Stop = stop;
                    return FitAndEstimate(problem, run, request);
                });
            },
            py::kw_only(), py::arg("save") = false, py::arg("save_on_failure") = false,
            py::arg("intervals") = true, py::arg("profile") = false, py::arg("bootstrap") = 0,
            py::arg("seed") = py::none(), py::arg("threads") = 0, py::arg("scale_by_fit") = false,
            "Fits the free species from their initial values and returns a FitResult. With "
            "save=True the results are written into the data file after a successful fit (and "
            "after a failed one with save_on_failure=True), through a temporary file renamed "
            "over it; otherwise the file is left as it is. intervals=False skips the 95 % "
            "half-widths and the correlation. After a successful fit, profile=True adds the "
            "profile intervals and bootstrap=N the percentiles of N residual-bootstrap refits "
            "(seed: 0 to 2**53 - 1, a fresh one when None; the same seed gives the same "
            "numbers on any number of threads), on threads threads (0: all cores), as "
            "result.intervals; scale_by_fit=True scales their thresholds by the reduced "
            "chi-square, for weights that are only relative. The problem is not changed by "
            "them. Releases the GIL; Ctrl+C stops the fit or the intervals between two engine "
            "calls and raises KeyboardInterrupt, the file untouched.")
        .def(
            "copy", [](PyProblem& p) { return std::make_unique<PyProblem>(p.Get().Clone()); },
            "A copy with its own engine session: copies may be fitted on separate Python "
            "threads at once.")
        .def("__repr__", [](PyProblem& p) {
            Problem& problem = p.Get();
            return "<varsel.Problem " + problem.Path() + ": " +
                   std::to_string(problem.Species().size()) + " species, " +
                   std::to_string(problem.Samples().size()) + " samples>";
        });

    m.def("read", &Read, py::arg("path"), py::kw_only(), py::arg("ignore_limits") = false,
          "Reads a text data file (.txt) into a Problem and sets up its engine session. "
          "ignore_limits=True lifts the temperature, pressure and water-density range checks "
          "(as /ie does). Raises OSError (FileNotFoundError, PermissionError, "
          "IsADirectoryError) with the path when the file cannot be opened, ValueError with "
          "the reader's message and the cell's position (row=, col=) when its content is "
          "refused or the engine refuses the database or System it names.");
}

}  // namespace varsel::python
