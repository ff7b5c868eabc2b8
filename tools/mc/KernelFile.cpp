#include "tools/mc/KernelFile.h"

namespace veltrim::mc {

ScatterKernelTable ScatterKernel(const KernelTally& tally) {
    ScatterKernelTable kernel{};
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
            kernel[ring + 1][row + 1] =
                tally.ScatterCells().Mean(row * CellGrid::kRings + ring, tally.Histories()) /
                tally.RowMassThickness();
        }
    }
    return kernel;
}

} // namespace veltrim::mc
