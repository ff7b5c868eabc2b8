#pragma once

// Memory for a table of a megabyte or more (a set of 29 scatter kernels is
// 1.5 MB). It is taken in whole 2-MiB pages where the kernel grants them:
// filling that much fresh memory in 4-KiB pages costs a page fault for each,
// several milliseconds in all on a virtual machine, more than reading the
// table from its binary form. Where huge pages are not granted the memory
// is the same as any other.

#include <cstddef>

namespace veltrim {

// Throws std::bad_alloc.
void* AllocateLargeTable(std::size_t size);
void FreeLargeTable(void* block) noexcept;

} // namespace veltrim
