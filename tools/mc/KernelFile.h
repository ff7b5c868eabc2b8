#pragma once

#include "dose/ScatterKernels.h"
#include "tools/mc/KernelTally.h"

namespace veltrim::mc {

// A cell's energy per incident photon divided by the mass thickness of a
// row (the medium's density x 0.5 cm, g/cm2) is, by reciprocity, the dose on
// the axis at the row's depth per unit fluence entering over the ring:
// keV cm2/g, the unit of the primary-dose factors.

// The scatter kernel of a tally, [ring][row] with rings and rows from 1 as
// the program reads it, keV cm2/g; written with KernelFileText.
ScatterKernelTable ScatterKernel(const KernelTally& tally);

} // namespace veltrim::mc
