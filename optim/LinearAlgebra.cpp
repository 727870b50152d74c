#include "optim/LinearAlgebra.h"

#include <cmath>
#include <utility>
#include <vector>

#include "model/Checked.h"
#include "model/RuntimeFailure.h"

namespace varsel {

LinearSolve SolveLinearSystem(std::int16_t n, Array2<double>& a) {
    if (n < 0 || a.Upper1() < n || a.Upper2() < n) {
        throw RuntimeFailure(kSubscriptOutOfRange, "Subscript out of range");
    }
    // ref(i): the largest magnitude the right-hand side of row i has had; a back-substituted
    // component below 1e-10 of it is cancellation noise and is set to exactly zero.
    std::vector<double> ref(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
        a(0, i) = i;
        ref[i] = std::fabs(a(i, 0));
    }

    for (int k = 1; k <= n; ++k) {
        // Row choice.
        double best = 1e99;
        int row = k;
        for (int j = k; j <= n; ++j) {
            double s = 0;
            for (int c = k; c <= n; ++c)
                s = Finite(s + a(j, c) * a(j, c));
            if (s == 0) return LinearSolve::Singular;
            const double ratio = Finite(a(j, 0) * a(j, 0) / s);
            if (ratio < best) {
                best = ratio;
                row = j;
                if (ratio == 0) break;
            }
        }
        if (row > k) {
            std::swap(a(row, 0), a(k, 0));
            std::swap(ref[row], ref[k]);
            for (int c = k; c <= n; ++c)
                std::swap(a(row, c), a(k, c));
        }

        // Column choice.
        best = 0;
        int column = 0;
        for (int c = k; c <= n; ++c) {
            const double p = a(k, c);
            if (p == 0) continue;
            double s = 0;
            for (int i = k + 1; i <= n; ++i)
                s = Finite(s + a(i, c) * a(i, c));
            if (s == 0) {
                column = c;
                break;
            }
            const double ratio = Finite(p * p / s);
            if (ratio > best) {
                best = ratio;
                column = c;
            }
        }
        if (column == 0) {
            // Every ratio underflowed to zero: any column with a non-zero pivot will do.
            for (int c = k; c <= n && column == 0; ++c) {
                if (a(k, c) != 0) column = c;
            }
        }
        if (column > k) {
            for (int i = 0; i <= n; ++i)
                std::swap(a(i, column), a(i, k));
        }

        // Normalise the pivot row; the pivot itself keeps its value.
        const double p = a(k, k);
        a(k, 0) = CheckedDivide(a(k, 0), p);
        ref[k] = CheckedDivide(ref[k], std::fabs(p));
        for (int c = k + 1; c <= n; ++c)
            a(k, c) = CheckedDivide(a(k, c), p);

        // Eliminate below, flushing differences that cancel to within 1e-10.
        for (int i = k + 1; i <= n; ++i) {
            const double q = a(i, k);
            if (q == 0) continue;
            for (int c = k + 1; c <= n; ++c) {
                const double t = Finite(q * a(k, c));
                const double v = Finite(a(i, c) - t);
                a(i, c) = (1e-10 * std::fabs(t) > std::fabs(v)) ? 0.0 : v;
            }
            a(i, 0) = Finite(a(i, 0) - q * a(k, 0));
            if (std::fabs(a(i, 0)) > ref[i]) ref[i] = std::fabs(a(i, 0));
        }
    }

    // Back substitution; the components go onto the diagonal.
    for (int k = n; k >= 1; --k) {
        double s = 0;
        double largest = 0;
        for (int c = k + 1; c <= n; ++c) {
            s = Finite(s + a(k, c) * a(c, c));
            if (std::fabs(s) > largest) largest = std::fabs(s);
        }
        if (1e-10 * largest > std::fabs(s)) s = 0;
        double x = Finite(a(k, 0) - s);
        if (1e-10 * ref[k] > std::fabs(x)) x = 0;
        a(k, k) = x;
    }

    // Undo the column exchanges.
    for (int i = 1; i <= n; ++i) {
        const int j = static_cast<int>(a(0, i));
        a(j, 0) = a(i, i);
    }
    return LinearSolve::Solved;
}

Inversion InvertSymmetric(std::int16_t n, Array2<double>& a) {
    if (n < 1 || a.Upper1() < n || a.Upper2() < n) {
        throw RuntimeFailure(kInvalidCall, "Invalid procedure call or argument");
    }
    const int order = n;
    std::vector<double> h(static_cast<std::size_t>(order), 0.0);
    for (int sweep = 1; sweep <= order; ++sweep) {
        double p = a(1, 1);
        if (p == 0) return Inversion::ZeroPivot;
        p = CheckedDivide(-1.0, p);
        for (int i = 1; i <= order - 1; ++i)
            h[i] = a(1, i + 1);
        // Each row is rebuilt from the next one, which this sweep has not rewritten yet; the
        // matrix thereby rotates by one row and column per sweep.
        for (int i = 1; i <= order - 1; ++i) {
            const double t = Finite(p * h[i]);
            a(i, order) = t;
            for (int j = i; j <= order - 1; ++j)
                a(i, j) = Finite(a(i + 1, j + 1) + t * h[j]);
        }
        a(order, order) = p;
    }
    for (int i = 1; i <= order; ++i) {
        for (int j = i; j <= order; ++j)
            a(i, j) = -a(i, j);
    }
    return Inversion::Inverted;
}

}  // namespace varsel
