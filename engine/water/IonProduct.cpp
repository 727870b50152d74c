#include "engine/water/IonProduct.h"

#include <cmath>

#include "engine/water/Failure.h"
#include "engine/water/Iapws95.h"

namespace varsel::engine::water {

double LogKwBanduraLvov(double temperature, double density) {
    detail::CheckTemperatureDensity("log Kw (Bandura-Lvov)", temperature, density);
    // Bandura & Lvov (2006), equations 3 and 4 with table 2 (IAPWS R11-07): density in
    // g/cm³, n = 6 water molecules in the ions' inner shells.
    const double T = temperature;
    const double rho = density * 1e-3;
    constexpr double n = 6;
    const double Q =
        rho * std::exp(-0.864671 + 8659.19 / T - 22786.2 / (T * T) * std::cbrt(rho * rho));
    const double gasPhase = 0.61415 + 48251.33 / T - 67707.93 / (T * T) + 10102100 / (T * T * T);
    const double pKw =
        -2 * n *
            (std::log10(1 + Q) - Q / (Q + 1) * rho * (0.642044 - 56.8534 / T - 0.375754 * rho)) +
        gasPhase + 2 * std::log10(kMolarMass);
    return detail::CheckFinite("log Kw (Bandura-Lvov)", -pKw, temperature, density);
}

double LogKwMarshallFranck(double temperature, double density) {
    detail::CheckTemperatureDensity("log Kw (Marshall-Franck)", temperature, density);
    // Marshall & Franck (1981), equation 3: density in g/cm³.
    const double T = temperature;
    const double logRho = std::log10(density * 1e-3);
    const double logKw = -4.098 - 3245.2 / T + 2.2362e5 / (T * T) - 3.984e7 / (T * T * T) +
                         (13.957 - 1262.3 / T + 8.5641e5 / (T * T)) * logRho;
    return detail::CheckFinite("log Kw (Marshall-Franck)", logKw, temperature, density);
}

}  // namespace varsel::engine::water
