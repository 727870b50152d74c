// The module's series fits: varsel.fit_series and the classes of its result.
#pragma once

#include <pybind11/pybind11.h>

namespace varsel::python {

void BindSeries(pybind11::module_& m);

}  // namespace varsel::python
