#include "ReplicateStream.h"

#include <limits>

namespace varsel::uncertainty {

namespace {

std::mt19937_64 Seeded(std::uint64_t seed, std::uint64_t replicate) {
    const auto low = [](std::uint64_t v) { return static_cast<std::uint32_t>(v); };
    const auto high = [](std::uint64_t v) { return static_cast<std::uint32_t>(v >> 32); };
    std::seed_seq sequence{low(seed), high(seed), low(replicate), high(replicate)};
    return std::mt19937_64(sequence);
}

}  // namespace

ReplicateStream::ReplicateStream(std::uint64_t seed, std::uint64_t replicate)
    : engine_(Seeded(seed, replicate)) {}

std::uint64_t ReplicateStream::Index(std::uint64_t count) {
    // Numbers at or above the largest multiple of count would favour the low indices.
    constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t limit = kAll - kAll % count;
    std::uint64_t u = engine_();
    while (u >= limit)
        u = engine_();
    return u % count;
}

}  // namespace varsel::uncertainty
