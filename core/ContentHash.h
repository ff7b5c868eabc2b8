#pragma once

// A 64-bit hash of bytes (the XXH64 construction: four lanes of
// multiply-rotate rounds, then an avalanche), fast enough to check every
// data file a run reads against what a cached binary form was made from.
// Not cryptographic: it guards against damage and change, not against a
// forger.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltrim {

std::uint64_t ContentHash(const void* bytes, std::size_t size, std::uint64_t seed = 0);

inline std::uint64_t ContentHash(std::string_view bytes, std::uint64_t seed = 0) {
    return ContentHash(bytes.data(), bytes.size(), seed);
}

} // namespace veltrim
