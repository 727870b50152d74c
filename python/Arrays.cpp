#include "Arrays.h"

#include <algorithm>

namespace py = pybind11;

namespace varsel::python {

py::array_t<double> Array(const std::vector<double>& values) {
    py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

py::array_t<double> Matrix(const std::vector<std::vector<double>>& rows) {
    const py::ssize_t n = static_cast<py::ssize_t>(rows.size());
    const py::ssize_t columns = rows.empty() ? 0 : static_cast<py::ssize_t>(rows[0].size());
    py::array_t<double> matrix({n, columns});
    auto cells = matrix.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i) {
        for (py::ssize_t j = 0; j < columns; ++j)
            cells(i, j) = rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
    }
    return matrix;
}

SampleTable TableOf(const std::vector<SamplePoint>& samples) {
    SampleTable table;
    std::vector<double> x, yExp, yCalc, error, weight;
    for (const SamplePoint& p : samples) {
        table.Names.push_back(p.Name);
        x.push_back(p.X);
        yExp.push_back(p.YExp);
        yCalc.push_back(p.YCalc);
        error.push_back(p.Error);
        weight.push_back(p.Weight);
    }
    table.X = Array(x);
    table.YExp = Array(yExp);
    table.YCalc = Array(yCalc);
    table.Error = Array(error);
    table.Weight = Array(weight);
    return table;
}

void BindSampleTable(py::module_& m) {
    py::class_<SampleTable>(m, "SampleTable",
                            "The samples of a problem or a fit, one row per sample in file "
                            "order. X and Y are as the data file's axes define them (decimal "
                            "logarithms for a(...) and m(...) axes). The arrays are copies: "
                            "change a problem's samples with Problem.set_samples.")
        .def_readonly("name", &SampleTable::Names, "list[str]: the sample names")
        .def_readonly("x", &SampleTable::X, "numpy.ndarray: X of each sample")
        .def_readonly("y_exp", &SampleTable::YExp, "numpy.ndarray: the measured Y")
        .def_readonly("y_calc", &SampleTable::YCalc,
                      "numpy.ndarray: the calculated Y (0 before a fit)")
        .def_readonly("error", &SampleTable::Error, "numpy.ndarray: Y (calc) - Y (exp)")
        .def_readonly("weight", &SampleTable::Weight,
                      "numpy.ndarray: the weights (0 leaves a sample out of the fit)")
        .def("__len__", [](const SampleTable& t) { return t.Names.size(); })
        .def("__repr__", [](const SampleTable& t) {
            return "<varsel.SampleTable of " + std::to_string(t.Names.size()) + " samples>";
        });
}

}  // namespace varsel::python
