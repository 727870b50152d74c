#include "engine/water/DebyeHuckel.h"

#include <cmath>

#include "engine/water/Failure.h"

namespace varsel::engine::water {

DebyeHuckel DebyeHuckelParameters(double temperature, double density, double epsilon) {
    detail::CheckTemperatureDensity("Debye-Hueckel parameters", temperature, density);
    if (!(epsilon >= 1 && std::isfinite(epsilon)))
        detail::Fail("Debye-Hueckel parameters: dielectric constant " + detail::Show(epsilon) +
                     " is not a finite number of at least 1 at " +
                     detail::AtTemperature(temperature));
    // A = 1.82483e6 √ρ/(εT)^1.5 and B = 50.2916 √ρ/√(εT) with ρ in g/cm³: the constants
    // combine e, N_A, k and ε0, with log base 10 and Å for the ion size in B.
    const double rootRho = std::sqrt(density * 1e-3);
    const double rootEpsT = std::sqrt(epsilon * temperature);
    DebyeHuckel dh;
    dh.A = 1.82483e6 * rootRho / (rootEpsT * rootEpsT * rootEpsT);
    dh.B = 50.2916 * rootRho / rootEpsT;
    return dh;
}

}  // namespace varsel::engine::water
