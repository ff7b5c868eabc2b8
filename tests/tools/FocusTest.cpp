// The point-focus side of the Monte Carlo tool: the next-event estimate of
// the axis dose against the pencil-beam reciprocity tally it must reproduce
// for a distant focus, the energy balance of a weighted source, and the
// primary of a near focus against attenuation and the inverse square.

#include "tools/ToolFixtures.h"
#include "tools/mc/AxisEstimator.h"
#include "tools/mc/FocusReport.h"
#include "tools/mc/FocusRun.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace veltrim::mc {
namespace {

FocusTally RingRun(double fsd, double energy, const FocusRunSettings& s,
                   double maxEntryRadius = CellGrid::kRings * CellGrid::kRingWidth,
                   double entryScale = 0.0) {
    const Focus focus{fsd};
    const RingSource source(focus, energy, maxEntryRadius, entryScale);
    return RunFocus(
        Tissue(), Estimator(), focus, [&](RandomStream& r) { return source.Sample(r); }, s);
}

// A focus 100 m away is a parallel beam for a 30-cm phantom: the scatter on
// the axis per unit plane fluence, summed over the rings, equals what the
// pencil beam deposits in the rows by reciprocity, within the two runs'
// statistics. This holds the estimator's angular densities, attenuation and
// energy transfer, the source weights and the ring bookkeeping together,
// for both draws of the entry radius.
class DistantFocus : public ::testing::TestWithParam<double> {};

TEST_P(DistantFocus, GivesTheParallelBeamRowSums) {
    const double E = 60.0;
    const Focus focus{10000.0};
    const FocusTally far = RingRun(focus.Fsd, E, FocusHistories(11, 3, 40, 8000, 30),
                                   CellGrid::kRings * CellGrid::kRingWidth, GetParam());
    const ScatterKernelTable kernel = FocusKernel(far, focus);

    RunSettings pencil = Pencil(E, 10, 12, 0);
    pencil.BatchHistories = 20000;
    pencil.Importance = {}; // analog
    const KernelTally parallel = RunKernel(Tissue(), pencil);
    const ScatterKernelTable reference = ScatterKernel(parallel);

    double focusTotal = 0.0, referenceTotal = 0.0, varianceTotal = 0.0;
    for (int a = 1; a <= 30; a += 3) {
        const double focusSum = RowSum(kernel, a), referenceSum = RowSum(reference, a);
        const auto row = static_cast<std::size_t>(a - 1);
        const double scale = 1.0 / InverseSquareAtRow(focus, a);
        const double sigmaFocus = far.ScatterRows.Uncertainty(row, far.Histories()) * scale;
        const double sigmaReference =
            parallel.ScatterRows().Uncertainty(row, parallel.Histories()) /
            (CellGrid::kRowThickness * 1.00);
        ASSERT_GT(referenceSum, 0.0);
        EXPECT_NEAR(focusSum, referenceSum, 4.0 * std::hypot(sigmaFocus, sigmaReference))
            << "row " << a;
        focusTotal += focusSum;
        referenceTotal += referenceSum;
        varianceTotal += sigmaFocus * sigmaFocus + sigmaReference * sigmaReference;
    }
    // The rows together, with a tolerance of some per cent (the estimate of a
    // collision near the axis has a long tail, see AxisEstimator).
    EXPECT_NEAR(focusTotal, referenceTotal, 4.0 * std::sqrt(varianceTotal));
    EXPECT_LT(4.0 * std::sqrt(varianceTotal), 0.08 * referenceTotal);
}

std::string EntryDrawName(const ::testing::TestParamInfo<double>& draw) {
    return draw.param == 0.0 ? "Uniform" : "Exponential";
}

INSTANTIATE_TEST_SUITE_P(EntryDraw, DistantFocus, ::testing::Values(0.0, 8.0), EntryDrawName);

// With analog transport every history ends in deposits and escapes that
// add up to what it brought in, whatever the weight of its photon.
TEST(FocusKernelTest, WeightedHistoriesConserveEnergy) {
    for (double E : {20.0, 80.0, 150.0}) {
        const FocusTally t = RingRun(60.0, E, FocusHistories(11, 3, 2, 2000, 30));
        const std::uint64_t n = t.Histories();
        const double in = t.Balance.Mean(kIncident, n);
        const double out = t.Balance.Mean(kPrimaryAnywhere, n) +
                           t.Balance.Mean(kScatterAnywhere, n) + t.Balance.Mean(kEscaping, n);
        EXPECT_NEAR(out, in, 1e-9 * in) << E << " keV";
    }
}

// Near the focus the primary on the axis falls with the inverse square as
// well as with attenuation; the tube tally must follow the dose factor x
// exp(-mu z) x f^2 / (f + z)^2 (evaluated at the row's middle, which the
// row average differs from by far less than the tolerance at 80 keV). The
// photons enter within the tube's radius, which holds every uncollided
// photon that crosses the tube deeper down.
TEST(FocusKernelTest, PrimaryOnTheAxisFollowsAttenuationAndInverseSquare) {
    const double E = 80.0;
    const Focus focus{20.0};
    const FocusTally t =
        RingRun(focus.Fsd, E, FocusHistories(11, 3, 10, 4000, 30), FocusTally::kTubeRadius);
    const double mu = Estimator().Attenuation(E);
    for (int a : {1, 10, 20, 30}) {
        const auto row = static_cast<std::size_t>(a - 1);
        const double z = (a - 0.5) * CellGrid::kRowThickness;
        const double expected =
            Estimator().DoseFactor(E) * std::exp(-mu * z) * InverseSquareAtRow(focus, a);
        const double got = t.PrimaryTube.Mean(row, t.Histories());
        const double sigma = t.PrimaryTube.Uncertainty(row, t.Histories());
        EXPECT_NEAR(got, expected, 4.0 * sigma + 0.01 * expected) << "row " << a;
    }
}

} // namespace
} // namespace veltrim::mc
