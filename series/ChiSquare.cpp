#include "series/ChiSquare.h"

#include <cmath>

namespace varsel::series {

double ChiSquareProbability(double chiSquare, int degreesOfFreedom) {
    if (degreesOfFreedom <= 0) return 0.0;
    if (!(chiSquare > 0)) return 1.0;
    const double a = 0.5 * degreesOfFreedom, x = 0.5 * chiSquare;
    const double front = std::exp(-x + a * std::log(x) - std::lgamma(a));
    if (x < a + 1) {
        // The series of the lower function P(a, x) = front Σ xⁿ / (a (a+1) … (a+n)).
        double term = 1.0 / a, sum = term;
        for (int n = 1; n < 1000 && std::fabs(term) > 1e-16 * std::fabs(sum); ++n) {
            term *= x / (a + n);
            sum += term;
        }
        return std::fmax(0.0, 1.0 - front * sum);
    }
    // The continued fraction of Q(a, x), evaluated by the modified Lentz method.
    const double tiny = 1e-300;
    double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int n = 1; n < 1000; ++n) {
        const double an = -n * (n - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < tiny) d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny) c = tiny;
        d = 1 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1) < 1e-16) break;
    }
    return front * h;
}

}  // namespace varsel::series
