#include "engine/water/GFunction.h"

#include <cmath>

#include "engine/water/Failure.h"
#include "engine/water/Iapws95.h"

namespace varsel::engine::water {

double GFunction(double temperature, double pressure, double density) {
    detail::CheckTemperatureDensity("g function", temperature, density);
    if (!(pressure > 0 && pressure <= kMaximumPressure))
        detail::Fail("g function: pressure outside 0 to " + detail::Show(kMaximumPressure) +
                     " Pa at " + detail::AtState(temperature, pressure));
    // The fit works in °C, bar and g/cm³.
    const double t = temperature - 273.15;
    const double p = pressure * 1e-5;
    const double rho = density * 1e-3;
    if (rho >= 1) return 0;

    // Shock et al. (1992), equations 25, 32 and 33, table 3.
    const double a = -2.037662 + t * (5.747000e-3 + t * -6.557892e-6);
    const double b = 6.107361 + t * (-1.074377e-2 + t * 1.268348e-5);
    double g = a * std::pow(1 - rho, b);
    // The correction f(T, P) that reshapes g at low pressure near the critical temperature.
    if (t >= 155 && t <= 355 && p <= 1000) {
        const double x = (t - 155) / 300;
        const double ft = std::pow(x, 4.8) + 3.666666e1 * std::pow(x, 16);
        const double dp = 1000 - p;
        const double fp = -1.504956e-10 * dp * dp * dp + 5.017997e-14 * dp * dp * dp * dp;
        g -= ft * fp;
    }
    return detail::CheckFinite("g function", g, temperature, density);
}

}  // namespace varsel::engine::water
