#pragma once

// What the Monte Carlo tests share: the ICRU soft tissue of the transport,
// built once per test program (it samples xraylib's tables), and the scatter
// a kernel's rings give the axis at one row.

#include "tools/mc/KernelFile.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/TissueModel.h"
#include "tools/xrl/XrayLib.h"

#include <cstddef>

namespace veltrim::mc {

inline const TissueModel& Tissue() {
    static const TissueModel tissue(xrl::IcruSoftTissue());
    return tissue;
}

inline double RowSum(const ScatterKernelTable& kernel, int row) {
    double sum = 0.0;
    for (int c = 1; c <= CellGrid::kRings; ++c)
        sum += kernel[static_cast<std::size_t>(c)][static_cast<std::size_t>(row)];
    return sum;
}

} // namespace veltrim::mc
