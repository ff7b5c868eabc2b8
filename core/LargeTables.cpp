#include "core/LargeTables.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace veltrim {
namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;

} // namespace

void* AllocateLargeTable(std::size_t size) {
    const std::size_t whole = (size + HugePage - 1) / HugePage * HugePage;
    void* block = whole >= size ? std::aligned_alloc(HugePage, whole) : nullptr;
    if (block == nullptr)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // Advice only: refused (huge pages off), the pages are small ones.
    madvise(block, whole, MADV_HUGEPAGE);
#endif
    return block;
}

void FreeLargeTable(void* block) noexcept {
    std::free(block);
}

} // namespace veltrim
