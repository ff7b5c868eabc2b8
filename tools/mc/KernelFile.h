#pragma once

#include "dose/ScatterKernels.h"
#include "tools/mc/KernelTally.h"

namespace veltrim::mc {

// Mass thickness of a row, g/cm2: 1.00 g/cm3 x 0.5 cm. A cell's energy per
// incident photon divided by it is, by reciprocity, the dose on the axis at
// the row's depth per unit fluence entering over the ring: keV cm2/g, the
// unit of the primary-dose factors.
inline constexpr double kRowMassThickness = 1.00 * 0.5;

// The scatter kernel of a tally, [ring][row] with rings and rows from 1 as
// the program reads it, keV cm2/g; written with KernelFileText.
ScatterKernelTable ScatterKernel(const KernelTally& tally);

} // namespace veltrim::mc
