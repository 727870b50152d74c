// The module's fits: varsel.read, varsel.Problem, varsel.Species and varsel.FitResult.
#pragma once

#include <pybind11/pybind11.h>

namespace varsel::python {

void BindProblem(pybind11::module_& m);

}  // namespace varsel::python
