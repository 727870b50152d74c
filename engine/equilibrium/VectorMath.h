// Dot products and norms of short dense vectors, summed in index order (the order matters for
// results that must repeat to the last bit).
#pragma once

#include <cmath>
#include <cstddef>
#include <span>

namespace varsel::engine::equilibrium {

/// Σ a_i b_i over the entries of `a` (b has at least as many).
inline double Dot(std::span<const double> a, std::span<const double> b) {
    double s = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        s += a[i] * b[i];
    return s;
}

/// Euclidean norm.
inline double Norm(std::span<const double> a) {
    return std::sqrt(Dot(a, a));
}

}  // namespace varsel::engine::equilibrium
