// The scorer, the batch runner and the transport as a whole: uncertainty
// bookkeeping, reproducibility, energy conservation, and that depth
// splitting changes no expectation.

#include "tools/ToolFixtures.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/ScoringArray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace veltrim::mc {
namespace {

RunSettings SmallRun(double energy, std::uint64_t batches, std::uint64_t perBatch) {
    return {.Energy = energy,
            .Seed = 99,
            .StreamNumber = 7,
            .BatchHistories = perBatch,
            .MaxBatches = batches,
            .Threads = 2,
            .Geometry = Phantom{},
            .Importance = DepthImportance{}};
}

TEST(ScoringArrayTest, AHistoryEntersTheVarianceAsOneSample) {
    // Two scores of 1 in two histories. Both by history 0 give the samples
    // {2, 0}: a sample variance of 1 (about the mean, over N), so a sigma of
    // the mean of sqrt(1 / (N - 1)). One by each history have no spread.
    for (const auto& [second, sigma] : {std::pair<std::uint64_t, double>{0, 1.0}, {1, 0.0}}) {
        ScoringArray scores(1);
        scores.Score(0, 1.0, 0);
        scores.Score(0, 1.0, second);
        scores.Finish();
        EXPECT_DOUBLE_EQ(scores.Mean(0, 2), 1.0);
        EXPECT_DOUBLE_EQ(scores.Uncertainty(0, 2), sigma) << "second score by history " << second;
    }
}

TEST(ScoringArrayTest, MergedBatchesEqualOneRun) {
    const double values[] = {0.5, 1.5, 2.0, 4.0, 0.25, 8.0};
    ScoringArray whole(2), first(2), second(2);
    for (std::uint64_t h = 0; h < 6; ++h) {
        whole.Score(h % 2, values[h], h);
        whole.Score(0, 1.0, h);
        ScoringArray& part = h < 3 ? first : second;
        part.Score(h % 2, values[h], h);
        part.Score(0, 1.0, h);
    }
    for (ScoringArray* array : {&whole, &first, &second})
        array->Finish();
    first += second;
    for (std::size_t bin = 0; bin < 2; ++bin) {
        EXPECT_EQ(first.Mean(bin, 6), whole.Mean(bin, 6));
        EXPECT_EQ(first.Uncertainty(bin, 6), whole.Uncertainty(bin, 6));
    }
}

TEST(KernelRunTest, ResultDoesNotDependOnTheThreadCount) {
    RunSettings s = SmallRun(40.0, 6, 2000);
    s.Importance = Splitting(40.0);
    s.Threads = 1;
    const std::string one = KernelFileText(ScatterKernel(RunKernel(Tissue(), s)));
    s.Threads = 2;
    const std::string two = KernelFileText(ScatterKernel(RunKernel(Tissue(), s)));
    EXPECT_EQ(one, two);
    s.Seed = 100;
    EXPECT_NE(KernelFileText(ScatterKernel(RunKernel(Tissue(), s))), two);
}

TEST(KernelRunTest, StoppingAtTheTargetIsReproducible) {
    RunSettings s = SmallRun(60.0, 400, 1000);
    s.Importance = Splitting(60.0);
    s.MinBatches = 3;
    s.TargetUncertainty = 0.05;
    const KernelTally a = RunKernel(Tissue(), s);
    EXPECT_LT(a.Histories(), 400000u);
    EXPECT_LT(ScatterRowStatistics(a, s.ScatterFloor).WorstUncertainty, 0.05);
    s.Threads = 1;
    const KernelTally b = RunKernel(Tissue(), s);
    EXPECT_EQ(a.Histories(), b.Histories());
    EXPECT_EQ(KernelFileText(ScatterKernel(a)), KernelFileText(ScatterKernel(b)));
}

TEST(TransportTest, AnalogHistoriesConserveEnergy) {
    for (double E : {10.0, 60.0, 150.0}) {
        const KernelTally t = RunKernel(Tissue(), SmallRun(E, 2, 5000));
        const std::uint64_t n = t.Histories();
        const double sum = t.Balance().Mean(kPrimaryAnywhere, n) +
                           t.Balance().Mean(kScatterAnywhere, n) + t.Balance().Mean(kEscaping, n);
        // Every history ends in deposits and escapes that add up to E exactly
        // but for rounding.
        EXPECT_NEAR(sum, E, 1e-9 * E) << E << " keV";
        // The tissue keeps a good part of the energy and something escapes.
        EXPECT_GT(t.Balance().Mean(kEscaping, n), 0.0);
    }
}

TEST(TransportTest, PrimaryIsScoredOnTheAxisOnly) {
    const KernelTally t = RunKernel(Tissue(), SmallRun(30.0, 2, 5000));
    double offAxis = 0.0;
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        for (std::size_t ring = 1; ring < CellGrid::kRings; ++ring)
            offAxis += t.PrimaryCells().Mean(row * CellGrid::kRings + ring, t.Histories());
    }
    EXPECT_EQ(offAxis, 0.0);
    EXPECT_GT(t.PrimaryCells().Mean(0, t.Histories()), 0.0);
}

// Splitting and roulette must leave every expectation as it was: the row
// sums of a split run agree with an analog run of the same energy within
// their uncertainties, at all depths, and energy balances on average.
TEST(TransportTest, DepthSplittingKeepsRowSumsAndBalance) {
    const double E = 40.0;
    const KernelTally analog = RunKernel(Tissue(), SmallRun(E, 20, 20000));
    RunSettings s = SmallRun(E, 10, 10000);
    s.Seed = 5;
    s.Importance = Splitting(E);
    const KernelTally split = RunKernel(Tissue(), s);
    int compared = 0;
    for (std::size_t row = 0; row < 40; ++row) {
        const double a = analog.ScatterRows().Mean(row, analog.Histories());
        const double b = split.ScatterRows().Mean(row, split.Histories());
        const double sa = analog.ScatterRows().Uncertainty(row, analog.Histories());
        const double sb = split.ScatterRows().Uncertainty(row, split.Histories());
        if (sa < 0.05 * a) {
            EXPECT_NEAR(a, b, 4.0 * std::hypot(sa, sb)) << "row " << row + 1;
            ++compared;
        }
    }
    EXPECT_GE(compared, 25);
    const std::uint64_t n = split.Histories();
    double sum = 0.0;
    double variance = 0.0;
    for (std::size_t bin = 0; bin < KernelTally::kBalanceBins; ++bin) {
        sum += split.Balance().Mean(bin, n);
        variance += std::pow(split.Balance().Uncertainty(bin, n), 2);
    }
    EXPECT_NEAR(sum, E, 4.0 * std::sqrt(variance) + 1e-9);
}

// Twice the density is the same phantom on half the scale: a row of the
// dense medium holds the energy of two rows of the light one, and its
// kernel, per gram, is their mean. Only the medium's mass thickness of a row
// makes the two agree.
TEST(TransportTest, KernelsArePerGramOfTheMedium) {
    xrl::Material denser = Tissue().Material();
    denser.Density *= 2.0;
    const TissueModel dense(denser);
    RunSettings s = SmallRun(30.0, 2, 5000);
    const ScatterKernelTable light = ScatterKernel(RunKernel(Tissue(), s));
    s.Geometry = Phantom{s.Geometry.Radius / 2, s.Geometry.Thickness / 2};
    const ScatterKernelTable halved = ScatterKernel(RunKernel(dense, s));
    for (int row = 1; row <= 10; ++row) {
        double denseSum = 0.0, lightSum = 0.0;
        for (int ring = 1; ring <= 40; ++ring) {
            denseSum += halved[ring][row];
            lightSum += light[2 * ring - 1][2 * row - 1] + light[2 * ring][2 * row - 1] +
                        light[2 * ring - 1][2 * row] + light[2 * ring][2 * row];
        }
        EXPECT_NEAR(denseSum, 0.5 * lightSum, 1e-9 * lightSum) << "row " << row;
    }
}

} // namespace
} // namespace veltrim::mc
