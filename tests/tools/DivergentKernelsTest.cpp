// Point-focus kernels from pencil-beam histories: an infinite FSD must give
// the parallel-beam kernels of the same histories, a distant focus nearly
// so, and a near focus what the next-event estimator on the axis (a method
// that shares none of the mapping) finds.

#include "tools/mc/DivergentKernels.h"

#include "tools/ToolFixtures.h"
#include "tools/mc/AxisEstimator.h"
#include "tools/mc/FocusReport.h"
#include "tools/mc/FocusRun.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace veltrim::mc {
namespace {

TEST(DivergentKernelsTest, AnInfiniteFsdIsTheParallelKernelAndADistantOneNearlySo) {
    const RunSettings s = Pencil(40.0, 4, 21, 4);
    const KernelTally parallel = RunKernel(Tissue(), s);
    const DivergentKernelTally sets =
        RunDivergentKernels(Tissue(), s, {std::numeric_limits<double>::infinity(), 10000.0});
    const ScatterKernelTable reference = ScatterKernel(parallel);
    const ScatterKernelTable infinite = DivergentKernel(sets, 0);
    EXPECT_EQ(infinite, reference); // the same histories, weight 1 everywhere
    const ScatterKernelTable distant = DivergentKernel(sets, 1);
    for (int a = 1; a <= 60; a += 7)
        EXPECT_NEAR(RowSum(distant, a) / RowSum(reference, a), 1.0, 0.005) << "row " << a;
}

// At a focus 30 cm from the surface the kernels differ from the parallel
// ones by more than ten per cent; the next-event estimate of the same
// definition must agree with them within its statistics (its long tail
// keeps the tolerance at four sigma of a few per cent).
TEST(DivergentKernelsTest, ANearFocusAgreesWithTheNextEventEstimator) {
    const double E = 60.0;
    const double fsd = 30.0;
    const int rows = 12;
    const DivergentKernelTally sets = RunDivergentKernels(
        Tissue(), Pencil(E, 20, 21, 4), {fsd, std::numeric_limits<double>::infinity()});
    const ScatterKernelTable mapped = DivergentKernel(sets, 0);
    const ScatterKernelTable parallel = DivergentKernel(sets, 1);

    const AxisEstimator estimator(Tissue(), rows);
    const Focus focus{fsd};
    const RingSource source(focus, E, CellGrid::kRings * CellGrid::kRingWidth, 8.0);
    FocusRunSettings s = FocusHistories(22, 0, 20, 10000, rows);
    s.Importance = Splitting(E);
    const FocusTally direct = RunFocus(
        Tissue(), estimator, focus, [&](RandomStream& r) { return source.Sample(r); }, s);
    const ScatterKernelTable estimated = FocusKernel(direct, focus);

    double mappedTotal = 0.0, estimatedTotal = 0.0, parallelTotal = 0.0, variance = 0.0;
    for (int a = 1; a <= rows; ++a) {
        const auto row = static_cast<std::size_t>(a - 1);
        mappedTotal += RowSum(mapped, a);
        estimatedTotal += RowSum(estimated, a);
        parallelTotal += RowSum(parallel, a);
        const double sigma =
            direct.ScatterRows.Uncertainty(row, direct.Histories()) / InverseSquareAtRow(focus, a);
        const double sigmaMapped =
            sets.Rows(0).Uncertainty(row, sets.Histories()) / sets.RowMassThickness();
        variance += sigma * sigma + sigmaMapped * sigmaMapped;
    }
    const double sigma = std::sqrt(variance);
    EXPECT_LT(sigma, 0.03 * estimatedTotal);
    EXPECT_NEAR(mappedTotal, estimatedTotal, 4.0 * sigma);
    EXPECT_GT(std::abs(parallelTotal - estimatedTotal), 4.0 * sigma);
}

} // namespace
} // namespace veltrim::mc
