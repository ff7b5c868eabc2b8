// The content hash against an independent XXH64 (the xxhash library's own),
// at lengths that reach each of its paths: bytes alone, a 4-byte word, whole
// 8-byte words, and the four 32-byte lanes with every kind of tail; the
// cache's seed chaining is covered by a seeded case.
#include "core/ContentHash.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace veltrim {
namespace {

std::string Bytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 37 + 11) & 0xff);
    return bytes;
}

TEST(ContentHash, AgreesWithXxh64AtEveryLengthPath) {
    EXPECT_EQ(ContentHash(Bytes(0)), 0xef46db3751d8e999ULL);
    EXPECT_EQ(ContentHash(Bytes(3)), 0x22c08528601d4f27ULL);
    EXPECT_EQ(ContentHash(Bytes(7)), 0x5613ac510496c04eULL);
    EXPECT_EQ(ContentHash(Bytes(31)), 0xe4a0e629e519a4aeULL);
    // Three rounds of the lanes, then an 8-byte word, a 4-byte word and 3 bytes.
    EXPECT_EQ(ContentHash(Bytes(111)), 0xf6b573a6263b393cULL);
    EXPECT_EQ(ContentHash(Bytes(111), 0x9e3779b97f4a7c15ULL), 0xc22a17191ee5623cULL);
}

} // namespace
} // namespace veltrim
