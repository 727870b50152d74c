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

TEST(LinearAlgebraTest, InvertsSymmetricMatricesInTheUpperTriangle) {
    Array2<double> one = System({{4}}, {0});
    std::int16_t n = 1;
    InvertSymmetric(n, one);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(one(1, 1), 0.25);

    Array2<double> a = System({{1, 2}, {2, 1}}, {9, 9});
    a(0, 1) = 7;
    n = 2;
    InvertSymmetric(n, a);
    EXPECT_EQ(n, 2);
    EXPECT_NEAR(a(1, 1), -1.0 / 3, 1e-15);
    EXPECT_NEAR(a(1, 2), 2.0 / 3, 1e-15);
    EXPECT_NEAR(a(2, 2), -1.0 / 3, 1e-15);
    EXPECT_EQ(a(2, 1), 2) << "the lower triangle is not touched";
    EXPECT_EQ(a(1, 0), 9);
    EXPECT_EQ(a(0, 1), 7);
}

TEST(LinearAlgebraTest, InversionFailsOnAZeroLeadingElement) {
    // The first is regular, but there is no pivoting.
    for (const Matrix& rows : {Matrix{{0, 1}, {1, 0}}, Matrix{{1, 2}, {2, 4}}, Matrix{{0}}}) {
        Array2<double> a = System(rows, std::vector<double>(rows.size()));
        std::int16_t n = static_cast<std::int16_t>(rows.size());
        InvertSymmetric(n, a);
        EXPECT_EQ(n, 0) << rows.size();
    }
}

// Random well-conditioned n × n problems, n = 1 .. 8: A x = b with A diagonally dominant
// leaves a small residual, and the inverse of G Gᵀ + I times itself is the identity.
TEST(LinearAlgebraTest, RandomProblemsAreSolvedAccurately) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> entry(-1.0, 1.0);
    for (int trial = 0; trial < 500; ++trial) {
        SCOPED_TRACE(trial);
        const int n = 1 + trial % 8;
        Matrix g(n, std::vector<double>(n)), rows = g, m(n, std::vector<double>(n, 0.0));
        std::vector<double> b(n);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                rows[i][j] = entry(random) + (i == j ? n : 0);
                g[i][j] = entry(random);
            }
            b[i] = 10 * entry(random);
        }
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                for (int k = 0; k < n; ++k)
                    m[i][j] += g[i][k] * g[j][k] + (i == j && k == 0 ? 1.0 : 0.0);
        Array2<double> a = System(rows, b), inverse = System(m, std::vector<double>(n));
        ASSERT_EQ(SolveLinearSystem(static_cast<std::int16_t>(n), a), LinearSolve::Solved);
        std::int16_t order = static_cast<std::int16_t>(n);
        InvertSymmetric(order, inverse);
        ASSERT_EQ(order, n);
        auto upper = [&](int i, int j) { return inverse(std::min(i, j) + 1, std::max(i, j) + 1); };
        for (int i = 0; i < n; ++i) {
            double r = -b[i];
            for (int j = 0; j < n; ++j) {
                r += rows[i][j] * a(j + 1, 0);
                double product = 0;
                for (int k = 0; k < n; ++k)
                    product += m[i][k] * upper(k, j);
                ASSERT_NEAR(product, i == j ? 1.0 : 0.0, 1e-10);
            }
            ASSERT_NEAR(r, 0.0, 1e-12 * (1 + std::fabs(b[i])));
        }
    }
}

}  // namespace
}  // namespace varsel
