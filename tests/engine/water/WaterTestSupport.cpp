#include "WaterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace varsel::engine::water::test {

std::vector<ReferenceRow> ReadReferenceGrid() {
    const std::string path = std::string(VARSEL_TEST_DATA_DIR) + "/water/iapws95-check.csv";
    std::ifstream in(path);
    std::vector<ReferenceRow> rows;
    if (!in) {
        ADD_FAILURE() << "cannot open " << path;
        return rows;
    }
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::vector<std::string> cells;
        std::stringstream fields(line);
        std::string cell;
        while (std::getline(fields, cell, ','))
            cells.push_back(cell);
        if (cells.size() == 5) cells.emplace_back();  // no dielectric constant
        if (cells.size() != 6) {
            ADD_FAILURE() << "bad line in " << path << ": " << line;
            continue;
        }
        ReferenceRow row;
        row.TemperatureC = std::stod(cells[0]);
        row.Saturated = cells[1] == "sat";
        row.PressureBar = std::stod(cells[2]);
        row.Phase = cells[3];
        row.Density = std::stod(cells[4]);
        row.Epsilon = cells[5].empty() ? 0 : std::stod(cells[5]);
        rows.push_back(row);
    }
    return rows;
}

double Derivative(const std::function<double(double)>& f, double x, double h) {
    return (f(x + h) - f(x - h)) / (2 * h);
}

double PressureStep(double pressure, double density) {
    return density < 322 ? 1e-4 * pressure : std::max(1e-5 * pressure, 1e4);
}

}  // namespace varsel::engine::water::test
