#pragma once

#include <cstdint>

namespace veltrim::mc {

// xoshiro256** (Blackman and Vigna, 2018): the random stream of one batch of
// histories. Streams are made independent by the generator's jump
// polynomials rather than by different seeds: Jump() advances the state by
// 2^128 draws (one batch), LongJump() by 2^192 (one node energy), so no two
// batches of a run can ever share a stretch of numbers.
class RandomStream {
  public:
    // The state comes from a SplitMix64 sequence started at `seed`, as the
    // generator's authors recommend; it is never all zero.
    explicit RandomStream(std::uint64_t seed);

    std::uint64_t NextBits();

    // Uniform on [0, 1), 53 random bits.
    double Uniform() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }
    // Uniform on (0, 1]: safe as the argument of a logarithm.
    double UniformOpenAtZero() { return static_cast<double>((NextBits() >> 11) + 1) * 0x1.0p-53; }

    void Jump();
    void LongJump();

  private:
    void ApplyJump(const std::uint64_t (&polynomial)[4]);

    std::uint64_t s_[4];
};

} // namespace veltrim::mc
