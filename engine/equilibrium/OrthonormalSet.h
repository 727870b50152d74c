// A set of orthonormal vectors built one vector at a time by classical Gram-Schmidt applied
// twice: a single pass loses orthogonality to cancellation when a new vector lies close to the
// span of the set, and a second pass restores it to rounding ("twice is enough": Parlett 1980,
// The Symmetric Eigenvalue Problem, §6-9; Giraud, Langou & Rozložník 2005, Numer. Math. 101,
// 87-100). The equilibrium solver uses it for the basis of element space, for the directions
// that the solution's species feel, and to tell whether a phase's formula is new.
//
// Storage is sized at construction; nothing allocates afterwards.
#pragma once

#include <span>
#include <vector>

namespace varsel::engine::equilibrium {

/// Relative size of the part of a vector outside a set below which the vector counts as
/// lying in the set's span.
inline constexpr double kIndependent = 1e-9;

class OrthonormalSet {
  public:
    /// Room for `capacity` vectors of up to `maxLength` entries.
    OrthonormalSet(int capacity, int maxLength);

    /// Empties the set; from now on its vectors have `length` entries (at most maxLength).
    void Reset(int length);

    int Size() const { return size_; }
    int Length() const { return length_; }
    int Capacity() const { return capacity_; }
    std::span<const double> Vector(int i) const;

    /// Removes from v its components along the first `count` vectors of the set (twice over).
    /// When `coef` is not empty, each removed component is added to coef[i].
    void RemoveComponents(std::span<double> v, int count, std::span<double> coef = {}) const;

    /// Norm of the part of v outside the span of the first `count` vectors.
    double NormOutside(std::span<const double> v, int count);

    /// Appends the part of v outside the set's span, normalised, when its norm exceeds
    /// `independence` times the norm of v and there is room. Returns the norm of that part,
    /// or 0 when v was not appended. When `coef` is not empty, coef[0 .. Size()) receives v's
    /// components along the vectors that were in the set.
    double Append(std::span<const double> v, double independence, std::span<double> coef = {});

    /// Drops the last vector.
    void RemoveLast() { --size_; }

  private:
    std::span<double> Slot(int i);

    int capacity_ = 0, maxLength_ = 0, length_ = 0, size_ = 0;
    std::vector<double> vectors_;  // vector i at [i * maxLength_ ..)
    std::vector<double> outside_;  // the part of the vector being tested or appended
};

}  // namespace varsel::engine::equilibrium
