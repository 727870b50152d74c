#include "engine/equilibrium/ScaledCholesky.h"

#include <cmath>
#include <cstddef>

namespace varsel::engine::equilibrium {

ScaledCholesky::ScaledCholesky(int capacity)
    : factor_(static_cast<std::size_t>(capacity) * capacity, 0.0), scale_(capacity, 0.0) {}

void ScaledCholesky::Solve(std::span<const double> h, std::span<const double> rhs,
                           std::span<double> x, int n) {
    double* l = factor_.data();
    double* scale = scale_.data();
    for (int i = 0; i < n; ++i) {
        const double d = h[i * n + i];
        scale[i] = (d > 0 && std::isfinite(d)) ? 1.0 / std::sqrt(d) : 1.0;
    }
    double shift = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        bool ok = true;
        for (int i = 0; i < n && ok; ++i) {
            for (int j = 0; j <= i; ++j) {
                double s = h[i * n + j] * scale[i] * scale[j] + (i == j ? shift : 0.0);
                for (int k = 0; k < j; ++k)
                    s -= l[i * n + k] * l[j * n + k];
                if (i == j) {
                    if (!(s > 1e-13) || !std::isfinite(s)) {
                        ok = false;
                        break;
                    }
                    l[i * n + i] = std::sqrt(s);
                } else {
                    l[i * n + j] = s / l[j * n + j];
                }
            }
        }
        if (ok) break;
        shift = (shift == 0) ? 1e-12 : shift * 100.0;
    }
    // Forward substitution L z = D rhs, then back substitution Lᵀ y = z; x = D y.
    for (int i = 0; i < n; ++i) {
        double s = rhs[i] * scale[i];
        for (int k = 0; k < i; ++k)
            s -= l[i * n + k] * x[k];
        x[i] = s / l[i * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = x[i];
        for (int k = i + 1; k < n; ++k)
            s -= l[k * n + i] * x[k];
        x[i] = s / l[i * n + i];
    }
    for (int i = 0; i < n; ++i)
        x[i] *= scale[i];
}

}  // namespace varsel::engine::equilibrium
