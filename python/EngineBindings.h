// The module's engine: varsel.Engine and varsel.EngineError.
#pragma once

#include <pybind11/pybind11.h>

namespace varsel::python {

void BindEngine(pybind11::module_& m);

}  // namespace varsel::python
