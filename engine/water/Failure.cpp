#include "engine/water/Failure.h"

#include <cmath>
#include <cstdio>

#include "engine/water/Iapws95.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::water::detail {

void Fail(const std::string& text) {
    throw RuntimeFailure(kEngineFailure, text);
}

std::string Show(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

std::string AtTemperature(double temperature) {
    return "T = " + Show(temperature) + " K";
}

std::string AtState(double temperature, double pressure) {
    return AtTemperature(temperature) + " and P = " + Show(pressure) + " Pa";
}

void CheckTemperatureDensity(const char* what, double temperature, double density) {
    if (!(temperature >= kMinimumTemperature && temperature <= kMaximumTemperature))
        Fail(std::string(what) + ": temperature outside " + Show(kMinimumTemperature) + " to " +
             Show(kMaximumTemperature) + " K at " + AtTemperature(temperature));
    if (!(density > 0 && std::isfinite(density)))
        Fail(std::string(what) + ": density must be positive, got " + Show(density) + " kg/m3 at " +
             AtTemperature(temperature));
}

double CheckFinite(const char* what, double value, double temperature, double density) {
    if (!std::isfinite(value))
        Fail(std::string(what) + ": no finite result at " + AtTemperature(temperature) +
             " and density " + Show(density) + " kg/m3");
    return value;
}

}  // namespace varsel::engine::water::detail
