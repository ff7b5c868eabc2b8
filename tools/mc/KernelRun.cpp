#include "tools/mc/KernelRun.h"

#include "tools/mc/BatchQueue.h"
#include "tools/mc/Random.h"
#include "tools/mc/Transport.h"

#include <memory>
#include <stdexcept>

namespace veltrim::mc {

RowStatistics ScatterRowStatistics(const KernelTally& tally, double floor) {
    RowStatistics result;
    const std::uint64_t n = tally.Histories();
    const double first = tally.ScatterRows().Mean(0, n);
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        const double mean = tally.ScatterRows().Mean(row, n);
        if (mean <= floor * first || mean <= 0.0) {
            continue;
        }
        ++result.RowsTested;
        const double relative = tally.ScatterRows().Uncertainty(row, n) / mean;
        if (relative > result.WorstUncertainty) {
            result.WorstUncertainty = relative;
            result.WorstRow = static_cast<int>(row) + 1;
        }
    }
    return result;
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
