#include "core/ContentHash.h"

#include <bit>
#include <cstring>

namespace veltrim {
namespace {

constexpr std::uint64_t Prime1 = 11400714785074694791ULL;
constexpr std::uint64_t Prime2 = 14029467366897019727ULL;
constexpr std::uint64_t Prime3 = 1609587929392839161ULL;
constexpr std::uint64_t Prime4 = 9650029242287828579ULL;
constexpr std::uint64_t Prime5 = 2870177450012600261ULL;

// A little-endian load of a 4- or 8-byte word, so that a hash means the
// same on every machine.
template <typename Word> Word LoadLittleEndian(const unsigned char* p) {
    static_assert(sizeof(Word) == 4 || sizeof(Word) == 8);
    Word value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
        if constexpr (sizeof(Word) == 8)
            value = __builtin_bswap64(value);
        else
            value = __builtin_bswap32(value);
    }
    return value;
}

std::uint64_t Round(std::uint64_t lane, std::uint64_t input) {
    lane += input * Prime2;
    lane = std::rotl(lane, 31);
    return lane * Prime1;
}

std::uint64_t Merge(std::uint64_t hash, std::uint64_t lane) {
    hash ^= Round(0, lane);
    return hash * Prime1 + Prime4;
}

} // namespace

std::uint64_t ContentHash(const void* bytes, std::size_t size, std::uint64_t seed) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    const unsigned char* const end = p + size;
    std::uint64_t hash;
    if (size >= 32) {
        std::uint64_t lanes[4] = {seed + Prime1 + Prime2, seed + Prime2, seed, seed - Prime1};
        for (; end - p >= 32; p += 32)
            for (int k = 0; k < 4; ++k)
                lanes[k] = Round(lanes[k], LoadLittleEndian<std::uint64_t>(p + 8 * k));
        hash = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) +
               std::rotl(lanes[3], 18);
        for (const std::uint64_t lane : lanes)
            hash = Merge(hash, lane);
    } else {
        hash = seed + Prime5;
    }
    hash += static_cast<std::uint64_t>(size);
    for (; end - p >= 8; p += 8)
        hash = std::rotl(hash ^ Round(0, LoadLittleEndian<std::uint64_t>(p)), 27) * Prime1 + Prime4;
    if (end - p >= 4) {
        hash =
            std::rotl(hash ^ (LoadLittleEndian<std::uint32_t>(p) * Prime1), 23) * Prime2 + Prime3;
        p += 4;
    }
    for (; p < end; ++p)
        hash = std::rotl(hash ^ (*p * Prime5), 11) * Prime1;
    hash ^= hash >> 33;
    hash *= Prime2;
    hash ^= hash >> 29;
    hash *= Prime3;
    hash ^= hash >> 32;
    return hash;
}

} // namespace veltrim
