// Slab kernels from the histories of the thick phantom: the deposits of
// lines that have been below the slab, taken away, must leave what a run in
// the slab itself scores, and the thick phantom's own kernels must come out
// of the same run unchanged to the bit.

#include "tools/ToolFixtures.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/SlabTally.h"

#include <cmath>
#include <gtest/gtest.h>

namespace veltrim::mc {
namespace {

TEST(SlabKernelsTest, TheSlabsOfTheThickPhantomsHistoriesAreThoseOfASlabRun) {
    const double thickness = 5.0;
    const int slabRows = 10;
    const RunSettings thick = Pencil(40.0, 6, 27, 3);
    const SlabKernelTally tagged = RunSlabKernels(Tissue(), thick, {thickness, 20.0});
    EXPECT_EQ(ScatterKernel(tagged.Whole()), ScatterKernel(RunKernel(Tissue(), thick)));

    RunSettings slab = thick;
    slab.Seed = 28; // independent histories
    slab.Geometry.Thickness = thickness;
    const KernelTally real = RunKernel(Tissue(), slab);
    const ScatterKernelTable fromThick = SlabKernel(tagged, 0);
    const ScatterKernelTable ratio = ExitRatio(tagged, 0);
    const ScatterKernelTable whole = ScatterKernel(tagged.Whole());
    const std::uint64_t n = tagged.Histories();
    for (int a = slabRows - 3; a <= slabRows; ++a) {
        const auto row = static_cast<std::size_t>(a - 1);
        const double sum = RowSum(fromThick, a);
        const double realSum =
            real.ScatterRows().Mean(row, real.Histories()) / real.RowMassThickness();
        const double thickSum = tagged.Whole().ScatterRows().Mean(row, n) / real.RowMassThickness();
        const double sigma = std::hypot(real.ScatterRows().Uncertainty(row, real.Histories()),
                                        tagged.Whole().ScatterRows().Uncertainty(row, n)) /
                             real.RowMassThickness();
        EXPECT_NEAR(sum, realSum, 4.0 * sigma) << "row " << a;
        // The test can tell: in the last layer the slab lacks far more than that.
        if (a == slabRows) {
            EXPECT_GT(thickSum - realSum, 8.0 * sigma);
        }
    }
    // Rows counted from the exit face; beyond the slab the ratio is 1.
    EXPECT_EQ(ratio[5][1], fromThick[5][slabRows] / whole[5][slabRows]);
    EXPECT_EQ(ratio[5][slabRows + 1], 1.0);
    EXPECT_EQ(fromThick[5][slabRows + 1], 0.0);
}

} // namespace
} // namespace veltrim::mc
