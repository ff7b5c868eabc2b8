#include "tools/mc/Random.h"

namespace veltrim::mc {
namespace {

std::uint64_t RotateLeft(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

std::uint64_t SplitMix64(std::uint64_t& x) {
    x += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = x;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// The published jump polynomials of xoshiro256.
constexpr std::uint64_t kJump[4] = {0x180ec6d33cfd0abaULL, 0xd5a61266f0c9392cULL,
                                    0xa9582618e03fc9aaULL, 0x39abdc4529b1661cULL};
constexpr std::uint64_t kLongJump[4] = {0x76e15d3efefdcbbfULL, 0xc5004e441c522fb3ULL,
                                        0x77710069854ee241ULL, 0x39109bb02acbe635ULL};

} // namespace

RandomStream::RandomStream(std::uint64_t seed) {
    for (std::uint64_t& word : s_) {
        word = SplitMix64(seed);
    }
}

std::uint64_t RandomStream::NextBits() {
    const std::uint64_t result = RotateLeft(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = RotateLeft(s_[3], 45);
    return result;
}

void RandomStream::ApplyJump(const std::uint64_t (&polynomial)[4]) {
    std::uint64_t t[4] = {0, 0, 0, 0};
    for (std::uint64_t word : polynomial) {
        for (int b = 0; b < 64; ++b) {
            if (word & (std::uint64_t{1} << b)) {
                for (int k = 0; k < 4; ++k) {
                    t[k] ^= s_[k];
                }
            }
            NextBits();
        }
    }
    for (int k = 0; k < 4; ++k) {
        s_[k] = t[k];
    }
}

void RandomStream::Jump() {
    ApplyJump(kJump);
}

void RandomStream::LongJump() {
    ApplyJump(kLongJump);
}

} // namespace veltrim::mc
