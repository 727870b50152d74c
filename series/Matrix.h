// Small dense matrices for the series fit (a few dozen parameters): the normal equations,
// their solution by a Cholesky factorisation after scaling to a unit diagonal, and the
// covariance.
//
// The normal matrix N = JᵀWJ of parameters as different as ΔfG° (about 10⁵ J/mol) and a1
// (about 10⁻⁵ J/(mol·Pa)) spans many decades; scaled to D N D with D = diag(N)^(−1/2), it
// has a unit diagonal and the factorisation loses only what the correlations cost. A
// parameter on which no residual depends has N_ii = 0, and a combination that the data do
// not fix makes the scaled matrix singular; both fail the factorisation.
#pragma once

#include <optional>
#include <vector>

namespace varsel::series {

class Matrix {
  public:
    Matrix() = default;
    Matrix(int rows, int columns) : rows_(rows), columns_(columns), a_(Size(rows, columns)) {}
    static Matrix Square(int n) { return Matrix(n, n); }

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    double& operator()(int i, int j) { return a_[Index(i, j)]; }
    double operator()(int i, int j) const { return a_[Index(i, j)]; }

    Matrix& operator+=(const Matrix& other);

  private:
    static std::size_t Size(int rows, int columns) {
        return static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    }
    std::size_t Index(int i, int j) const {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(j);
    }
    int rows_ = 0, columns_ = 0;
    std::vector<double> a_;
};

/// Solves (N + λ diag(N)) x = b for a symmetric N with a positive diagonal; nullopt when the
/// matrix is not positive definite. λ = 0 solves N x = b.
std::optional<std::vector<double>> SolveDamped(const Matrix& n, const std::vector<double>& b,
                                               double lambda);

/// N⁻¹ of a symmetric positive definite N; nullopt when N is not.
std::optional<Matrix> InverseOf(const Matrix& n);

/// xᵀ N y.
double QuadraticForm(const Matrix& n, const std::vector<double>& x, const std::vector<double>& y);

}  // namespace varsel::series
