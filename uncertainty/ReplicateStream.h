// The random stream of one bootstrap replicate. Replicate k of seed s draws from a Mersenne
// twister seeded through std::seed_seq with (s, k), both fully defined by the C++ standard,
// and maps its numbers to indices by rejection, so a replicate draws the same indices on every
// machine, whatever thread makes it and whatever replicates were made before it.
#pragma once

#include <cstdint>
#include <random>

namespace varsel::uncertainty {

class ReplicateStream {
  public:
    ReplicateStream(std::uint64_t seed, std::uint64_t replicate);

    /// A uniformly drawn index 0 .. count − 1 (count > 0).
    std::uint64_t Index(std::uint64_t count);

  private:
    std::mt19937_64 engine_;
};

}  // namespace varsel::uncertainty
