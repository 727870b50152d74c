// The element space of an open System, split by the formulas whose chemical potential is
// imposed. The p.m.c., the solvent (which exchanges water with the kilogram at its own
// potential) and the pure phases present are the fixed columns M; their potentials μ fix the
// element potentials λ on span(M) through Mᵀλ = μ. With M = QR (Q orthonormal, built by
// OrthonormalSet), the smallest such λ is λ0 = Q R⁻ᵀ μ; the orthonormal complement N of Q
// completes the basis, and λ = λ0 + N y for the free coordinates y, on whose directions the
// element amounts of the solution are conserved (Smith & Missen 1982, Chemical Reaction
// Equilibrium Analysis, ch. 2-3, for the stoichiometry of open systems).
//
// Storage is sized at construction; nothing allocates afterwards.
#pragma once

#include <span>
#include <vector>

#include "engine/equilibrium/OrthonormalSet.h"

namespace varsel::engine::equilibrium {

/// What a fixed column of the basis stands for.
enum class ColumnKind { Mobile, Water, Extra };

/// A fixed column: a formula whose chemical potential (μ/RT) is imposed.
struct FixedColumn {
    ColumnKind Kind = ColumnKind::Mobile;
    int Index = 0;  ///< position among the p.m.c. or the extras (0 for the solvent)
    double Potential = 0;
};

class ElementBasis {
  public:
    explicit ElementBasis(int elements);

    /// Removes every column.
    void Clear();

    /// Adds a formula of imposed potential as a fixed column when it is independent of the
    /// fixed columns so far; returns false (and adds nothing) otherwise.
    bool AddFixed(std::span<const double> formula, const FixedColumn& column);

    /// Completes the basis of element space with the orthonormal complement of the fixed
    /// columns, built from well-conditioned unit vectors. Returns false when no complete basis
    /// comes out (which only rounding beyond reason can cause).
    bool Complete();

    int Elements() const { return elements_; }
    int FixedCount() const { return fixed_; }
    int FreeCount() const { return elements_ - fixed_; }
    const FixedColumn& Column(int i) const { return columns_[i]; }
    /// k-th vector of the complement N (after Complete).
    std::span<const double> FreeDirection(int k) const { return vectors_.Vector(fixed_ + k); }

    /// Changes the imposed potential of fixed column i; UpdateParticularSolution applies it.
    void SetPotential(int i, double potential) { columns_[i].Potential = potential; }
    /// Position of the solvent's column, or -1 when its formula combines the p.m.c. formulas
    /// (its potential is then imposed by them).
    int WaterColumn() const { return waterColumn_; }

    /// The coefficients of v in the fixed columns, M coef = v, for v in their span
    /// (least squares otherwise): R coef = Qᵀ v.
    void Coefficients(std::span<const double> v, std::span<double> coef) const;

    /// Norm of the part of v outside the span of the fixed columns.
    double NormOutsideFixed(std::span<const double> v) { return vectors_.NormOutside(v, fixed_); }

    /// Recomputes λ0 from the fixed columns' potentials.
    void UpdateParticularSolution();
    /// λ0: the element potentials (μ/RT) of smallest norm that meet the imposed potentials.
    std::span<const double> ParticularPotentials() const { return lambda0_; }

  private:
    double R(int row, int col) const { return r_[static_cast<std::size_t>(col) * elements_ + row]; }

    int elements_ = 0;
    int fixed_ = 0;
    int waterColumn_ = -1;
    OrthonormalSet vectors_;  // Q, then N
    std::vector<double> r_;   // R, upper triangle, column-major
    std::vector<FixedColumn> columns_;
    std::vector<double> coef_;  // a new column's components along Q
    std::vector<double> unit_;  // the unit vector being tried for N
    std::vector<double> t_;     // R⁻ᵀ μ
    std::vector<double> lambda0_;
};

}  // namespace varsel::engine::equilibrium
