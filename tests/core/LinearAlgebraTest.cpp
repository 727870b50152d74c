// The elimination with row and column exchanges: its pivot choices and flush threshold.
#include <gtest/gtest.h>

#include <cmath>
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

// Each system with its solution by variable (none: singular) and, where given, the column
// record: which variable ended in each position.
TEST(LinearAlgebraTest, SolvesWithExchangesAndFlushesNearlyDependentRows) {
    const struct {
        const char* what;
        Matrix rows;
        std::vector<double> b, x, columns;
    } cases[] = {
        {"both exchanges", {{0, 1}, {1, 0}}, {3, 5}, {5, 3}, {2, 1}},
        {"one by one", {{4}}, {2}, {0.5}, {1}},
        {"zero", {{0}}, {2}, {}, {}},
        // Row 2 has a zero right-hand side, so it is chosen first; its larger coefficient then
        // picks column 2. Without the row choice, row 1 would have picked column 1.
        {"zero right-hand side first", {{2, 1}, {1, 4}}, {5, 0}, {20.0 / 7, -5.0 / 7}, {2, 1}},
        {"dependent rows", {{1, 2, 3}, {0, 1, 4}, {3, 6, 9}}, {1, 2, 3}, {}, {}},
        {"difference below 1e-10 flushed", {{1, 1}, {1, 1 + 1e-12}}, {1, 2}, {}, {}},
        {"difference above 1e-10 kept", {{1, 1}, {1, 1 + 1e-8}}, {1, 2}, {1 - 1e8, 1e8}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int n = static_cast<int>(c.rows.size());
        Array2<double> a = System(c.rows, c.b);
        const LinearSolve result = SolveLinearSystem(static_cast<std::int16_t>(n), a);
        ASSERT_EQ(result, c.x.empty() ? LinearSolve::Singular : LinearSolve::Solved);
        for (int i = 1; i <= static_cast<int>(c.x.size()); ++i)
            EXPECT_NEAR(a(i, 0), c.x[i - 1], 1e-6 * std::fabs(c.x[i - 1]) + 1e-15) << i;
        for (int p = 1; p <= static_cast<int>(c.columns.size()); ++p)
            EXPECT_EQ(a(0, p), c.columns[p - 1]) << p;
    }
    Array2<double> none(0, 0);
    EXPECT_EQ(SolveLinearSystem(0, none), LinearSolve::Solved);
}

}  // namespace
}  // namespace varsel
