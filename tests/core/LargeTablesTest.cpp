#include "core/LargeTables.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <new>

// A block starts on a huge page and holds the whole table (a short one is
// caught by the sanitizer build); a size whose rounding up would wrap
// around is refused rather than given a small block.
TEST(LargeTables, ABlockHoldsItsTableOnAHugePageAndAnImpossibleSizeIsRefused) {
    const std::size_t size = 1523616;
    void* block = veltrim::AllocateLargeTable(size);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % (std::size_t{2} << 20), 0u);
    std::memset(block, 0x5a, size);
    EXPECT_EQ(static_cast<const unsigned char*>(block)[size - 1], 0x5a);
    veltrim::FreeLargeTable(block);
    EXPECT_THROW(veltrim::AllocateLargeTable(std::numeric_limits<std::size_t>::max() - 16),
                 std::bad_alloc);
}
