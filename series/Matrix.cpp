#include "series/Matrix.h"

#include <cmath>

namespace varsel::series {

namespace {

// The lower factor L of a symmetric positive definite matrix with a unit diagonal plus
// `shift` on it: A + shift·I = L Lᵀ. nullopt when a pivot is not positive.
std::optional<Matrix> Cholesky(const Matrix& a, double shift) {
    const int n = a.Rows();
    Matrix l = Matrix::Square(n);
    for (int j = 0; j < n; ++j) {
        double d = a(j, j) + shift;
        for (int k = 0; k < j; ++k)
            d -= l(j, k) * l(j, k);
        // Relative to the unit diagonal: a pivot this small means the columns are dependent
        // to within rounding.
        if (!(d > 1e-13)) return std::nullopt;
        l(j, j) = std::sqrt(d);
        for (int i = j + 1; i < n; ++i) {
            double s = a(i, j);
            for (int k = 0; k < j; ++k)
                s -= l(i, k) * l(j, k);
            l(i, j) = s / l(j, j);
        }
    }
    return l;
}

// Solves L Lᵀ x = b in place.
void Substitute(const Matrix& l, std::vector<double>& x) {
    const int n = l.Rows();
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < i; ++k)
            x[i] -= l(i, k) * x[k];
        x[i] /= l(i, i);
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int k = i + 1; k < n; ++k)
            x[i] -= l(k, i) * x[k];
        x[i] /= l(i, i);
    }
}

// D = diag(N)^(−1/2), empty when a diagonal element is not positive and finite.
std::vector<double> Scales(const Matrix& n) {
    std::vector<double> d;
    for (int i = 0; i < n.Rows(); ++i) {
        if (!(n(i, i) > 0) || !std::isfinite(n(i, i))) return {};
        d.push_back(1.0 / std::sqrt(n(i, i)));
    }
    return d;
}

Matrix Scaled(const Matrix& n, const std::vector<double>& d) {
    Matrix s = Matrix::Square(n.Rows());
    for (int i = 0; i < n.Rows(); ++i) {
        for (int j = 0; j < n.Rows(); ++j)
            s(i, j) = d[i] * n(i, j) * d[j];
    }
    return s;
}

}  // namespace

Matrix& Matrix::operator+=(const Matrix& other) {
    for (std::size_t i = 0; i < a_.size(); ++i)
        a_[i] += other.a_[i];
    return *this;
}

std::optional<std::vector<double>> SolveDamped(const Matrix& n, const std::vector<double>& b,
                                               double lambda) {
    const std::vector<double> d = Scales(n);
    if (d.empty()) return std::nullopt;
    const std::optional<Matrix> l = Cholesky(Scaled(n, d), lambda);
    if (!l) return std::nullopt;
    std::vector<double> x(b.size());
    for (std::size_t i = 0; i < b.size(); ++i)
        x[i] = d[i] * b[i];
    Substitute(*l, x);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] *= d[i];
    return x;
}

std::optional<Matrix> InverseOf(const Matrix& n) {
    const std::vector<double> d = Scales(n);
    if (d.empty()) return std::nullopt;
    const std::optional<Matrix> l = Cholesky(Scaled(n, d), 0.0);
    if (!l) return std::nullopt;
    const int size = n.Rows();
    Matrix inverse = Matrix::Square(size);
    for (int j = 0; j < size; ++j) {
        std::vector<double> column(static_cast<std::size_t>(size), 0.0);
        column[j] = 1.0;
        Substitute(*l, column);
        for (int i = 0; i < size; ++i)
            inverse(i, j) = d[i] * column[i] * d[j];
    }
    return inverse;
}

double QuadraticForm(const Matrix& n, const std::vector<double>& x, const std::vector<double>& y) {
    double sum = 0;
    for (int i = 0; i < n.Rows(); ++i) {
        for (int j = 0; j < n.Columns(); ++j)
            sum += x[i] * n(i, j) * y[j];
    }
    return sum;
}

}  // namespace varsel::series
