#include "tools/mc/KernelRun.h"

#include "tools/mc/BatchQueue.h"
#include "tools/mc/Random.h"
#include "tools/mc/Transport.h"

#include <memory>
#include <stdexcept>

namespace veltrim::mc {

RowStatistics RowSumStatistics(const ScoringArray& rows, std::uint64_t n, int rowCount,
                               double floor) {
    RowStatistics result;
    const double first = rows.Mean(0, n);
    for (int a = 0; a < rowCount; ++a) {
        const auto row = static_cast<std::size_t>(a);
        const double mean = rows.Mean(row, n);
        if (mean <= floor * first || mean <= 0.0) {
            continue;
        }
        ++result.RowsTested;
        const double relative = rows.Uncertainty(row, n) / mean;
        if (relative > result.WorstUncertainty) {
            result.WorstUncertainty = relative;
            result.WorstRow = a + 1;
        }
    }
    return result;
}

RowStatistics ScatterRowStatistics(const KernelTally& tally, double floor) {
    return RowSumStatistics(tally.ScatterRows(), tally.Histories(), CellGrid::kRows, floor);
}

KernelTally RunKernel(const TissueModel& tissue, const RunSettings& settings,
                      const std::function<void(const KernelTally&)>& progress) {
    return RunPencilBatches<KernelTally>(
        tissue, settings, [&] { return std::make_unique<KernelTally>(tissue.Material().Density); },
        [&](const KernelTally& total) {
            return ScatterRowStatistics(total, settings.ScatterFloor).WorstUncertainty;
        },
        progress);
}

} // namespace veltrim::mc
