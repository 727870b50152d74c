// The Python module varsel: the public API of Varsel for scripts and notebooks.
#include <pybind11/pybind11.h>

#include "Arrays.h"
#include "EngineBindings.h"
#include "FitIntervals.h"
#include "ProblemBindings.h"
#include "SeriesBindings.h"

PYBIND11_MODULE(varsel, m) {
    m.doc() =
        "Varsel fits the standard Gibbs energies of aqueous species to experiments on "
        "aqueous solutions.\n\n"
        "    problem = varsel.read(\"examples/agcl.txt\")   # a data file, not changed\n"
        "    result = problem.fit()                       # save=True writes the results\n"
        "    result.species, result.values, result.half_widths   # kJ/mol\n"
        "    problem.fit(profile=True, bootstrap=1000).intervals  # beyond the half-widths\n"
        "    varsel.fit_series(\"agcl-series.txt\").parameters  # HKF parameters over T\n"
        "    varsel.Engine().standard_potential(\"Na+\", 25, 1)   # kJ/mol at 25 °C, 1 bar\n\n"
        "Units: temperatures in °C, pressures in bar, standard potentials (apparent standard "
        "Gibbs energies of formation at the problem's temperature and pressure) in kJ/mol, X "
        "and Y as the data file's axes define them. Fits release the GIL and stop on Ctrl+C "
        "(KeyboardInterrupt). A file that cannot be opened raises OSError, content the reader "
        "refuses ValueError, a question the engine cannot answer EngineError.";
    m.attr("__version__") = VARSEL_VERSION;
    varsel::python::BindSampleTable(m);
    // One Bind function per file pair: intervals, fits of a data file, series, the engine.
    varsel::python::BindIntervals(m);
    varsel::python::BindProblem(m);
    varsel::python::BindSeries(m);
    varsel::python::BindEngine(m);
}
