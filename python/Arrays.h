// Values of the public API as numpy arrays and plain Python objects, and the samples of a
// problem or a fit as one table of arrays.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "varsel/FitSummary.h"

namespace varsel::python {

/// A one-dimensional float64 array holding a copy of `values`.
pybind11::array_t<double> Array(const std::vector<double>& values);

/// A two-dimensional float64 array of `rows` (all of one length); shape (0, 0) when empty.
pybind11::array_t<double> Matrix(const std::vector<std::vector<double>>& rows);

/// The samples of a problem or a fit, a row per sample in file order.
struct SampleTable {
    std::vector<std::string> Names;
    pybind11::array_t<double> X, YExp, YCalc, Error, Weight;
};

SampleTable TableOf(const std::vector<SamplePoint>& samples);

/// Adds the SampleTable class to the module.
void BindSampleTable(pybind11::module_& m);

}  // namespace varsel::python
