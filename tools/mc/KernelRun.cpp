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
    if (settings.BatchHistories == 0 || settings.MaxBatches == 0) {
        throw std::invalid_argument("RunKernel: no histories to run");
    }
    if (!(settings.Energy > TissueModel::kMinEnergy &&
          settings.Energy <= TissueModel::kMaxEnergy)) {
        throw std::invalid_argument("RunKernel: energy outside the tabulated range");
    }
    RandomStream start(settings.Seed);
    for (unsigned k = 0; k < settings.StreamNumber; ++k) {
        start.LongJump();
    }
    const PencilBeam beam{settings.Energy};
    const auto runBatch = [&](std::uint64_t batch, RandomStream& stream) {
        auto tally = std::make_unique<KernelTally>();
        const std::uint64_t first = batch * settings.BatchHistories;
        for (std::uint64_t h = 0; h < settings.BatchHistories; ++h) {
            TransportHistory(beam, settings.Geometry, tissue, settings.Importance, stream, *tally,
                             first + h);
        }
        tally->Finish(settings.BatchHistories);
        return tally;
    };
    const auto enough = [&](const KernelTally& total, std::uint64_t merged) {
        if (progress) {
            progress(total);
        }
        return settings.TargetUncertainty > 0.0 && merged >= settings.MinBatches &&
               ScatterRowStatistics(total, settings.ScatterFloor).WorstUncertainty <
                   settings.TargetUncertainty;
    };
    KernelTally total;
    RunInBatches(start, settings.MaxBatches, settings.Threads, runBatch, enough, total);
    return total;
}

} // namespace veltrim::mc
