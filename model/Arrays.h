// Arrays allocated from index 0 to an upper bound and used from index 1.
//
// The problem model keeps every list in this form: index 0 exists but holds nothing (or, for
// the optimiser's matrices, the right-hand side and bookkeeping), counts are 16-bit, and an
// index outside 0 .. upper bound is a run-time failure instead of a stray memory access.
// Creating an array anew fills it with value-initialised elements (zeros, empty strings);
// growing it keeps the existing ones.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/RuntimeFailure.h"

namespace varsel {

namespace detail {
[[noreturn]] inline void ThrowSubscript() {
    throw RuntimeFailure(kSubscriptOutOfRange, "Subscript out of range");
}
inline void CheckUpper(int upper) {
    if (upper > 32767) throw RuntimeFailure(kOverflow, "Overflow");
    if (upper < -1) ThrowSubscript();
}
}  // namespace detail

/// A one-dimensional array with indices 0 .. Upper().
template <class T>
class Array1 {
    // std::vector<bool> packs bits and hands out proxies instead of bool&; a deque keeps
    // real bools (flags are never handed on as contiguous storage).
    using Storage = std::conditional_t<std::is_same_v<T, bool>, std::deque<bool>, std::vector<T>>;

  public:
    Array1() = default;
    explicit Array1(int upper) { Redim(upper); }

    /// Creates the array anew with indices 0 .. upper, every element value-initialised.
    /// An upper bound of -1 leaves it empty.
    void Redim(int upper) {
        detail::CheckUpper(upper);
        Storage fresh(static_cast<std::size_t>(upper + 1));
        items_.swap(fresh);
    }

    /// Grows or shrinks the array to 0 .. upper, keeping the elements that remain.
    void RedimPreserve(int upper) {
        detail::CheckUpper(upper);
        items_.resize(static_cast<std::size_t>(upper + 1));
    }

    /// Releases the elements; the array is then empty (Upper() is -1).
    void Erase() { Storage().swap(items_); }

    /// The upper bound, -1 when the array is empty.
    std::int16_t Upper() const { return static_cast<std::int16_t>(items_.size()) - 1; }
    bool Empty() const { return items_.empty(); }

    T& operator[](int i) {
        if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) detail::ThrowSubscript();
        return items_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) detail::ThrowSubscript();
        return items_[static_cast<std::size_t>(i)];
    }

    /// Contiguous storage, element 0 first.
    T* Data() { return items_.data(); }
    const T* Data() const { return items_.data(); }

    bool operator==(const Array1&) const = default;

  private:
    Storage items_;
};

/// A two-dimensional array with indices (0 .. Upper1(), 0 .. Upper2()).
template <class T>
class Array2 {
  public:
    Array2() = default;
    Array2(int upper1, int upper2) { Redim(upper1, upper2); }

    /// Creates the array anew with indices (0 .. upper1, 0 .. upper2), all value-initialised.
    void Redim(int upper1, int upper2) {
        detail::CheckUpper(upper1);
        detail::CheckUpper(upper2);
        std::vector<T> fresh(static_cast<std::size_t>(upper1 + 1) *
                             static_cast<std::size_t>(upper2 + 1));
        items_.swap(fresh);
        rows_ = upper1 + 1;
        columns_ = upper2 + 1;
    }

    /// Resizes to (0 .. upper1, 0 .. upper2), keeping every element whose indices remain.
    void RedimPreserve(int upper1, int upper2) {
        Array2 grown(upper1, upper2);
        const int keepRows = std::min(rows_, grown.rows_);
        const int keepColumns = std::min(columns_, grown.columns_);
        for (int i = 0; i < keepRows; ++i) {
            for (int j = 0; j < keepColumns; ++j)
                grown.At(i, j) = std::move(At(i, j));
        }
        *this = std::move(grown);
    }

    void Erase() {
        std::vector<T>().swap(items_);
        rows_ = 0;
        columns_ = 0;
    }

    std::int16_t Upper1() const { return static_cast<std::int16_t>(rows_ - 1); }
    std::int16_t Upper2() const { return static_cast<std::int16_t>(columns_ - 1); }
    bool Empty() const { return items_.empty(); }

    T& operator()(int i, int j) {
        if (i < 0 || i >= rows_ || j < 0 || j >= columns_) detail::ThrowSubscript();
        return At(i, j);
    }
    const T& operator()(int i, int j) const {
        if (i < 0 || i >= rows_ || j < 0 || j >= columns_) detail::ThrowSubscript();
        return items_[static_cast<std::size_t>(i) * static_cast<std::size_t>(columns_) +
                      static_cast<std::size_t>(j)];
    }

    bool operator==(const Array2&) const = default;

  private:
    T& At(int i, int j) {
        return items_[static_cast<std::size_t>(i) * static_cast<std::size_t>(columns_) +
                      static_cast<std::size_t>(j)];
    }

    std::vector<T> items_;
    int rows_ = 0;
    int columns_ = 0;
};

}  // namespace varsel
