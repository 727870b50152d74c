// The elimination with row and column exchanges and the cyclic symmetric inversion: their
// pivot choices and flush thresholds, and their accuracy on random well-conditioned systems.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "optim/LinearAlgebra.h"

namespace varsel {
namespace {

using Matrix = std::vector<std::vector<double>>;

// Builds the 0-based-allocated system: coefficients from `rows`, right-hand side `b`.
Array2<double> System(const Matrix& rows, const std::vector<double>& b) {
    const int n = static_cast<int>(rows.size());
    Array2<double> a(n, n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            a(i, j) = rows[i - 1][j - 1];
        a(i, 0) = b[i - 1];
    }
    return a;
}

TEST(LinearAlgebraTest, SolvesWithBothExchanges) {
    Array2<double> a = System({{0, 1}, {1, 0}}, {3, 5});
    EXPECT_EQ(SolveLinearSystem(2, a), LinearSolve::Solved);
    EXPECT_EQ(a(1, 0), 5);
    EXPECT_EQ(a(2, 0), 3);
    EXPECT_EQ(a(0, 1), 2) << "column record: variable 2 ended in position 1";
    EXPECT_EQ(a(0, 2), 1);
}

TEST(LinearAlgebraTest, OneByOneAndEmpty) {
    Array2<double> a = System({{4}}, {2});
    EXPECT_EQ(SolveLinearSystem(1, a), LinearSolve::Solved);
    EXPECT_EQ(a(1, 0), 0.5);
    Array2<double> zero = System({{0}}, {2});
    EXPECT_EQ(SolveLinearSystem(1, zero), LinearSolve::Singular);
    Array2<double> none(0, 0);
    EXPECT_EQ(SolveLinearSystem(0, none), LinearSolve::Solved);
}

TEST(LinearAlgebraTest, ZeroRightHandSideRowIsTheFirstPivotRow) {
    // Row 2 has a zero right-hand side, so it is chosen first; its larger coefficient then
    // picks column 2, which the column record shows. Without the row choice, row 1 would
    // have picked column 1.
    Array2<double> a = System({{2, 1}, {1, 4}}, {5, 0});
    ASSERT_EQ(SolveLinearSystem(2, a), LinearSolve::Solved);
    EXPECT_EQ(a(0, 1), 2);
    EXPECT_EQ(a(0, 2), 1);
    EXPECT_NEAR(a(1, 0), 20.0 / 7.0, 1e-15);
    EXPECT_NEAR(a(2, 0), -5.0 / 7.0, 1e-15);
}

TEST(LinearAlgebraTest, DependentRowsAreSingular) {
    Array2<double> tripled = System({{1, 2, 3}, {0, 1, 4}, {3, 6, 9}}, {1, 2, 3});
    EXPECT_EQ(SolveLinearSystem(3, tripled), LinearSolve::Singular);

    Array2<double> nearly = System({{1, 1}, {1, 1 + 1e-12}}, {1, 2});
    EXPECT_EQ(SolveLinearSystem(2, nearly), LinearSolve::Singular)
        << "a difference below 1e-10 is flushed to zero";

    Array2<double> distinct = System({{1, 1}, {1, 1 + 1e-8}}, {1, 2});
    EXPECT_EQ(SolveLinearSystem(2, distinct), LinearSolve::Solved);
    EXPECT_NEAR(distinct(2, 0), 1e8, 1e2);
}

TEST(LinearAlgebraTest, RandomSystemsHaveSmallResiduals) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> entry(-1.0, 1.0);
    for (int trial = 0; trial < 500; ++trial) {
        const int n = 1 + trial % 8;
        Matrix rows(n, std::vector<double>(n));
        std::vector<double> b(n);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j)
                rows[i][j] = entry(random);
            rows[i][i] += n;  // diagonally dominant: well conditioned
            b[i] = 10 * entry(random);
        }
        Array2<double> a = System(rows, b);
        ASSERT_EQ(SolveLinearSystem(static_cast<std::int16_t>(n), a), LinearSolve::Solved);
        for (int i = 0; i < n; ++i) {
            double r = -b[i];
            for (int j = 0; j < n; ++j)
                r += rows[i][j] * a(j + 1, 0);
            ASSERT_NEAR(r, 0.0, 1e-12 * (1 + std::fabs(b[i]))) << "trial " << trial;
        }
    }
}

TEST(LinearAlgebraTest, InversionFailsOnAZeroLeadingElement) {
    Array2<double> swapped = System({{0, 1}, {1, 0}}, {0, 0});
    std::int16_t n = 2;
    InvertSymmetric(n, swapped);
    EXPECT_EQ(n, 0) << "regular, but there is no pivoting";

    Array2<double> rankOne = System({{1, 2}, {2, 4}}, {0, 0});
    n = 2;
    InvertSymmetric(n, rankOne);
    EXPECT_EQ(n, 0);

    Array2<double> zero = System({{0}}, {0});
    n = 1;
    InvertSymmetric(n, zero);
    EXPECT_EQ(n, 0);
}

TEST(LinearAlgebraTest, RandomPositiveDefiniteInverses) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> entry(-1.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 1 + trial % 8;
        Matrix m(n, std::vector<double>(n, 0.0));
        Matrix g(n, std::vector<double>(n));
        for (auto& row : g) {
            for (double& x : row)
                x = entry(random);
        }
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                for (int k = 0; k < n; ++k)
                    m[i][j] += g[i][k] * g[j][k];
            }
            m[i][i] += 1.0;
        }
        Array2<double> a = System(m, std::vector<double>(n, 0.0));
        std::int16_t order = static_cast<std::int16_t>(n);
        InvertSymmetric(order, a);
        ASSERT_EQ(order, n);
        auto inverse = [&](int i, int j) { return i <= j ? a(i + 1, j + 1) : a(j + 1, i + 1); };
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                double product = 0;
                for (int k = 0; k < n; ++k)
                    product += m[i][k] * inverse(k, j);
                ASSERT_NEAR(product, i == j ? 1.0 : 0.0, 1e-10) << "trial " << trial;
            }
        }
    }
}

}  // namespace
}  // namespace varsel
