#pragma once

#include "dose/DepthDose.h"

#include <filesystem>

namespace veltrim::testing {

// The data files that ship with the program, in the source tree.
inline const std::filesystem::path ShippedData = std::filesystem::path(VELTRIM_SOURCE_DIR) / "data";

// Whether all 29 scatter kernels are there: tests on the shipped data fail
// with a clear cause, rather than crash, when one has gone.
inline bool KernelsShipped() {
    for (int e = 10; e <= 150; e += 5)
        if (!std::filesystem::exists(ShippedData / KernelFolder / KernelFile(e)))
            return false;
    return true;
}

} // namespace veltrim::testing
