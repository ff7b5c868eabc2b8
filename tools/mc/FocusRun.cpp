#include "tools/mc/FocusRun.h"

#include "tools/mc/BatchQueue.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace veltrim::mc {

RowStatistics FocusRowStatistics(const FocusTally& tally, double floor, int testedRows) {
    return RowSumStatistics(tally.ScatterRows, tally.Histories(),
                            std::min(testedRows, tally.Rows()), floor);
}

FocusTally RunFocus(const TissueModel& tissue, const AxisEstimator& estimator, const Focus& focus,
                    const FocusSampler& sampler, const FocusRunSettings& settings) {
    if (settings.BatchHistories == 0 || settings.MaxBatches == 0) {
        throw std::invalid_argument("RunFocus: no histories to run");
    }
    if (settings.Rows < 1 || settings.Rows > estimator.Rows()) {
        throw std::invalid_argument("RunFocus: the estimator does not cover the rows asked for");
    }
    RandomStream start(settings.Seed);
    for (unsigned k = 0; k < settings.StreamNumber; ++k) {
        start.LongJump();
    }
    const auto runBatch = [&](std::uint64_t batch, RandomStream& stream) {
        auto tally =
            std::make_unique<FocusTally>(settings.Rows, settings.RingCells, settings.Extras);
        FocusScorer scorer(estimator, focus, *tally, stream, settings.Extras);
        const std::uint64_t first = batch * settings.BatchHistories;
        for (std::uint64_t h = 0; h < settings.BatchHistories; ++h) {
            const FocusPhoton photon = sampler(stream);
            scorer.StartHistory(photon, first + h);
            TransportHistory(photon.Photon, settings.Geometry, tissue, settings.Importance, stream,
                             scorer, first + h);
        }
        tally->Finish(settings.BatchHistories);
        return tally;
    };
    const auto enough = [&](const FocusTally& total, std::uint64_t merged) {
        return settings.TargetUncertainty > 0.0 && merged >= settings.MinBatches &&
               FocusRowStatistics(total, settings.ScatterFloor, settings.TestedRows)
                       .WorstUncertainty < settings.TargetUncertainty;
    };
    FocusTally total(settings.Rows, settings.RingCells, settings.Extras);
    RunInBatches(start, settings.MaxBatches, settings.Threads, runBatch, enough, total);
    return total;
}

} // namespace veltrim::mc
