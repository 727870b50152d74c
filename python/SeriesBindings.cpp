#include "SeriesBindings.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Arrays.h"
#include "Interrupt.h"
#include "varsel/Series.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace varsel::python {

namespace {

// Raises the OSError (FileNotFoundError, PermissionError, IsADirectoryError) of a series file
// that cannot be opened; the reader's own message would not tell Python which one it is.
void CheckReadable(const fs::path& path) {
    std::error_code ec;
    int error = 0;
    if (fs::is_directory(path, ec)) {
        error = EISDIR;
    } else if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        error = errno;
    }
    if (error == 0) return;
    py::object oserror = py::reinterpret_borrow<py::object>(PyExc_OSError);
    const py::object instance =
        oserror(error, py::module_::import("os").attr("strerror")(error), path.string());
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(instance.ptr())), instance.ptr());
    throw py::error_already_set();
}

py::object Text(const std::string& text) {
    return text.empty() ? py::object(py::none()) : py::object(py::str(text));
}

template <typename Field>
py::array_t<double> PerSpecies(const SeriesFileResult& f, Field field) {
    std::vector<double> values;
    for (const SeriesSpeciesValue& s : f.Species)
        values.push_back(field(s));
    return Array(values);
}

SeriesSummary FitSeries(const fs::path& path, bool save, int threads, bool ignoreLimits) {
    if (threads < 0) throw py::value_error("threads must be 0 (all cores) or more");
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    CheckReadable(full);
    SeriesFile series;
    try {
        series = ReadSeriesFile(full.string());
    } catch (const SeriesError& e) {
        throw py::value_error(e.what());
    }
    SeriesOptions options;
    options.Threads = threads;
    options.Write = save;
    options.IgnoreLimits = ignoreLimits;
    SeriesSummary summary = Interruptible<SeriesSummary>([&series, &options](StopToken stop) {
        SeriesOptions run = options;
        run.Stop = stop;
        return RunSeries(series, run);
    });
    // A series refused before it reached parameters has nothing to show but the reason.
    if (!summary.Filled) throw py::value_error(summary.Outcome);
    return summary;
}

}  // namespace

void BindSeries(py::module_& m) {
    py::class_<SeriesParameter>(m, "SeriesParameter",
                                "One fitted parameter, in the unit of the database's entries.")
        .def_readonly("species", &SeriesParameter::Species, "str: the species")
        .def_readonly("name", &SeriesParameter::Name,
                      "str: the database keyword (G, S, c1, c2, omega, a1 ... a4)")
        .def_readonly("initial", &SeriesParameter::Initial, "float: the database's value")
        .def_readonly("value", &SeriesParameter::Value, "float: the fitted value")
        .def_readonly("half_width", &SeriesParameter::HalfWidth, "float: the 95 % half-width")
        .def_readonly("unit", &SeriesParameter::Unit, "str: \"cal/mol\", \"cal/(mol K)\", ...")
        .def("__repr__", [](const SeriesParameter& p) {
            return "<varsel.SeriesParameter " + p.Species + " " + p.Name + "=" +
                   std::to_string(p.Value) + " " + p.Unit + ">";
        });

    py::class_<SeriesFileResult>(m, "SeriesFileResult",
                                 "One data file of a series: its conditions and the fitted "
                                 "species' standard potentials, kJ/mol at its T and P.")
        .def_readonly("name", &SeriesFileResult::Name, "str: as the series file lists it")
        .def_readonly("temperature", &SeriesFileResult::TemperatureC, "float: °C")
        .def_readonly("pressure", &SeriesFileResult::PressureBar, "float: bar")
        .def_property_readonly(
            "species",
            [](const SeriesFileResult& f) {
                std::vector<std::string> names;
                for (const SeriesSpeciesValue& s : f.Species)
                    names.push_back(s.Name);
                return names;
            },
            "list[str]: the fitted species of the file")
        .def_property_readonly(
            "values",
            [](const SeriesFileResult& f) {
                return PerSpecies(f, [](const SeriesSpeciesValue& s) {
                    return s.OwnFit ? s.Value : std::nan("");
                });
            },
            "numpy.ndarray: the file's own fit, kJ/mol (NaN where it gave none)")
        .def_property_readonly(
            "half_widths",
            [](const SeriesFileResult& f) {
                return PerSpecies(f, [](const SeriesSpeciesValue& s) {
                    return s.OwnFit ? s.HalfWidth : std::nan("");
                });
            },
            "numpy.ndarray: the 95 % half-widths of the file's own fit, kJ/mol")
        .def_property_readonly(
            "series_values",
            [](const SeriesFileResult& f) {
                return PerSpecies(f, [](const SeriesSpeciesValue& s) { return s.Series; });
            },
            "numpy.ndarray: the standard potentials from the series' parameters, kJ/mol")
        .def_property_readonly(
            "series_half_widths",
            [](const SeriesFileResult& f) {
                return PerSpecies(f, [](const SeriesSpeciesValue& s) { return s.SeriesHalfWidth; });
            },
            "numpy.ndarray: their 95 % half-widths, kJ/mol")
        .def_property_readonly(
            "own_fit_failure", [](const SeriesFileResult& f) { return Text(f.OwnFitOutcome); },
            "str | None: why the file's own fit failed")
        .def_property_readonly(
            "samples", [](const SeriesFileResult& f) { return TableOf(f.Samples); },
            "SampleTable: the samples with Y (calc) and error at the series' parameters")
        .def("__repr__",
             [](const SeriesFileResult& f) { return "<varsel.SeriesFileResult " + f.Name + ">"; });

    py::class_<SeriesSummary>(m, "SeriesResult",
                              "What a series fit learned: the parameters with their 95 % "
                              "half-widths, covariance and correlation, the fit's chi-square, "
                              "and every file's values.")
        .def_readonly("succeeded", &SeriesSummary::Succeeded,
                      "bool: fitted and, with save=True, written")
        .def_property_readonly(
            "failure", [](const SeriesSummary& s) { return Text(s.Outcome); },
            "str | None: why the series fit failed")
        .def_readonly("title", &SeriesSummary::Title, "str: the series file's title")
        .def_readonly("path", &SeriesSummary::Path, "str: the series file")
        .def_property_readonly(
            "method", [](const SeriesSummary& s) { return SeriesMethodName(s.Method); },
            "str: \"one-step\" or \"two-step\"")
        .def_readonly("files", &SeriesSummary::Files, "list[SeriesFileResult]: in listed order")
        .def_readonly("parameters", &SeriesSummary::Parameters,
                      "list[SeriesParameter]: in the order of the Fit: rows")
        .def_property_readonly(
            "covariance", [](const SeriesSummary& s) { return Matrix(s.Covariance); },
            "numpy.ndarray: the parameters' covariance, in their units (n x n)")
        .def_property_readonly(
            "correlation", [](const SeriesSummary& s) { return Matrix(s.Correlation); },
            "numpy.ndarray: their correlation matrix (n x n)")
        .def_readonly("chi_square", &SeriesSummary::ChiSquare,
                      "float: one-step, the weighted sum of squares over all samples; "
                      "two-step, the second step's chi-square of the files' values")
        .def_readonly("degrees_of_freedom", &SeriesSummary::DegreesOfFreedom, "int")
        .def_readonly("probability", &SeriesSummary::Probability,
                      "float: the probability of a chi-square as large")
        .def_readonly("guards", &SeriesSummary::Guards, "list[str]: the rules that applied")
        .def_readonly("flags", &SeriesSummary::Flags,
                      "list[str]: strong correlations and wide intervals, in words")
        .def_property_readonly(
            "output_database", [](const SeriesSummary& s) { return Text(s.OutputDatabase); },
            "str | None: the database written (save=True)")
        .def_property_readonly(
            "output_table", [](const SeriesSummary& s) { return Text(s.OutputTable); },
            "str | None: the table row written beside it")
        .def_readonly("iterations", &SeriesSummary::Iterations, "int")
        .def_readonly("wall_seconds", &SeriesSummary::WallSeconds, "float: s")
        .def("__repr__", [](const SeriesSummary& s) {
            return std::string("<varsel.SeriesResult ") + SeriesMethodName(s.Method) + ", " +
                   std::to_string(s.Parameters.size()) + " parameters, " +
                   std::to_string(s.Files.size()) + " files" + (s.Succeeded ? "" : ", failed") +
                   ">";
        });

    m.def("fit_series", &FitSeries, py::arg("path"), py::kw_only(), py::arg("save") = false,
          py::arg("threads") = 0, py::arg("ignore_limits") = false,
          "Fits the parameters a series file names (ΔfG° and S° in cal/mol and cal/(mol K), "
          "the revised-HKF ones in the database's units) to all its data files and returns a "
          "SeriesResult. save=True writes the output database and its table row as varsel-cli "
          "does; save=False writes nothing. threads: files fitted at once (0: all cores). "
          "Raises OSError with the path when the series file cannot be opened and ValueError "
          "with the message (file and row) when it or its data files are refused; a fit that "
          "fails later comes back with succeeded=False. Releases the GIL; Ctrl+C stops it and "
          "raises KeyboardInterrupt.");
}

}  // namespace varsel::python
