#include "engine/equilibrium/OrthonormalSet.h"

#include <algorithm>
#include <cstddef>

#include "engine/equilibrium/VectorMath.h"

namespace varsel::engine::equilibrium {

OrthonormalSet::OrthonormalSet(int capacity, int maxLength)
    : capacity_(capacity),
      maxLength_(maxLength),
      length_(maxLength),
      vectors_(static_cast<std::size_t>(capacity) * maxLength, 0.0),
      outside_(maxLength, 0.0) {}

void OrthonormalSet::Reset(int length) {
    length_ = length;
    size_ = 0;
}

std::span<const double> OrthonormalSet::Vector(int i) const {
    return {vectors_.data() + static_cast<std::size_t>(i) * maxLength_,
            static_cast<std::size_t>(length_)};
}

std::span<double> OrthonormalSet::Slot(int i) {
    return {vectors_.data() + static_cast<std::size_t>(i) * maxLength_,
            static_cast<std::size_t>(length_)};
}

void OrthonormalSet::RemoveComponents(std::span<double> v, int count,
                                      std::span<double> coef) const {
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < count; ++i) {
            const std::span<const double> q = Vector(i);
            const double d = Dot(q, v);
            if (!coef.empty()) coef[i] += d;
            for (int e = 0; e < length_; ++e)
                v[e] -= d * q[e];
        }
    }
}

double OrthonormalSet::NormOutside(std::span<const double> v, int count) {
    const std::span<double> outside(outside_.data(), static_cast<std::size_t>(length_));
    std::copy(v.begin(), v.begin() + length_, outside.begin());
    RemoveComponents(outside, count);
    return Norm(outside);
}

double OrthonormalSet::Append(std::span<const double> v, double independence,
                              std::span<double> coef) {
    const std::span<const double> own = v.first(length_);
    const std::span<double> outside(outside_.data(), static_cast<std::size_t>(length_));
    std::copy(own.begin(), own.end(), outside.begin());
    if (!coef.empty()) std::fill(coef.begin(), coef.begin() + size_, 0.0);
    const double norm0 = Norm(own);
    if (norm0 == 0 || size_ == capacity_) return 0;
    RemoveComponents(outside, size_, coef);
    const double norm = Norm(outside);
    if (!(norm > independence * norm0)) return 0;
    const std::span<double> q = Slot(size_);
    for (int e = 0; e < length_; ++e)
        q[e] = outside[e] / norm;
    ++size_;
    return norm;
}

}  // namespace varsel::engine::equilibrium
