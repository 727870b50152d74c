#include "engine/equilibrium/ElementBasis.h"

#include <algorithm>
#include <cstddef>

#include "engine/equilibrium/VectorMath.h"

namespace varsel::engine::equilibrium {

namespace {
// Smallest norm of a unit vector's part outside the basis so far for it to join the
// complement: smaller parts would bring their rounding into every free coordinate.
constexpr double kWellConditioned = 1e-3;
}  // namespace

ElementBasis::ElementBasis(int elements)
    : elements_(elements),
      vectors_(elements, elements),
      r_(static_cast<std::size_t>(elements) * elements, 0.0),
      columns_(elements),
      coef_(elements, 0.0),
      unit_(elements, 0.0),
      t_(elements, 0.0),
      lambda0_(elements, 0.0) {}

void ElementBasis::Clear() {
    vectors_.Reset(elements_);
    fixed_ = 0;
    waterColumn_ = -1;
}

bool ElementBasis::AddFixed(std::span<const double> formula, const FixedColumn& column) {
    const int col = fixed_;
    const double norm = vectors_.Append(formula, kIndependent, coef_);
    if (norm == 0) return false;
    for (int i = 0; i < col; ++i)
        r_[static_cast<std::size_t>(col) * elements_ + i] = coef_[i];
    r_[static_cast<std::size_t>(col) * elements_ + col] = norm;
    columns_[col] = column;
    if (column.Kind == ColumnKind::Water) waterColumn_ = col;
    ++fixed_;
    return true;
}

bool ElementBasis::Complete() {
    for (int e = 0; e < elements_ && vectors_.Size() < elements_; ++e) {
        std::fill(unit_.begin(), unit_.end(), 0.0);
        unit_[e] = 1.0;
        const double norm = vectors_.Append(unit_, kIndependent);
        if (norm > 0 && norm < kWellConditioned) vectors_.RemoveLast();
    }
    return vectors_.Size() == elements_;
}

void ElementBasis::Coefficients(std::span<const double> v, std::span<double> coef) const {
    for (int i = 0; i < fixed_; ++i)
        coef[i] = Dot(vectors_.Vector(i), v);
    for (int i = fixed_ - 1; i >= 0; --i) {
        double s = coef[i];
        for (int k = i + 1; k < fixed_; ++k)
            s -= R(i, k) * coef[k];
        coef[i] = s / R(i, i);
    }
}

void ElementBasis::UpdateParticularSolution() {
    // Rᵀ t = μ by forward substitution, then λ0 = Q t.
    for (int j = 0; j < fixed_; ++j) {
        double s = columns_[j].Potential;
        for (int i = 0; i < j; ++i)
            s -= R(i, j) * t_[i];
        t_[j] = s / R(j, j);
    }
    std::fill(lambda0_.begin(), lambda0_.end(), 0.0);
    for (int j = 0; j < fixed_; ++j) {
        const std::span<const double> q = vectors_.Vector(j);
        for (int e = 0; e < elements_; ++e)
            lambda0_[e] += t_[j] * q[e];
    }
}

}  // namespace varsel::engine::equilibrium
