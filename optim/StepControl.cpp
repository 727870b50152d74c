#include "optim/StepControl.h"

#include <cmath>

#include "model/Checked.h"

namespace varsel {

void ShapeStep(std::int16_t n, const Array2<double>& solution, Array1<double>& d) {
    double squares = 0;
    for (int i = 1; i <= n; ++i)
        squares = Finite(squares + solution(i, 0) * solution(i, 0));
    const double norm = std::sqrt(squares);
    for (int i = 1; i <= n; ++i) {
        const double x = solution(i, 0);
        if (norm == 0) {
            d[i] = x;
        } else if (norm < 1) {
            d[i] = x * std::log(1 + norm) / norm;
        } else {
            const double sign = x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
            d[i] = sign * std::log(1 + std::fabs(x));
        }
    }
}

std::int16_t NextMultiplier(std::int16_t previous, double cosine, double previousLength,
                            double length) {
    if (cosine > 0.999 && std::fabs(previousLength / length - 1) < 0.001) {
        CheckedAdd(previous, 1);
        return previous;
    }
    return 1;
}

}  // namespace varsel
