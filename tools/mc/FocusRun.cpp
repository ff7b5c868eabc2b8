#include "tools/mc/FocusRun.h"

#include "tools/mc/BatchQueue.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace veltrim::mc {

RowStatistics FocusRowStatistics(const FocusTally& tally, double floor, int testedRows) {
    RowStatistics result;
    const std::uint64_t n = tally.Histories();
    const double first = tally.ScatterRows.Mean(0, n);
    for (int a = 0; a < std::min(testedRows, tally.Rows()); ++a) {
        const auto row = static_cast<std::size_t>(a);
        const double mean = tally.ScatterRows.Mean(row, n);
        if (mean <= floor * first || mean <= 0.0) {
            continue;
        }
        ++result.RowsTested;
        const double relative = tally.ScatterRows.Uncertainty(row, n) / mean;
        if (relative > result.WorstUncertainty) {
            result.WorstUncertainty = relative;
            result.WorstRow = a + 1;
        }
    }
    return result;
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
        auto tally = std::make_unique<FocusTally>(settings.Rows, settings.RingCells);
        FocusScorer scorer(estimator, focus, *tally, stream);
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
    FocusTally total(settings.Rows, settings.RingCells);
    RunInBatches(start, settings.MaxBatches, settings.Threads, runBatch, enough, total);
    return total;
}

DepthImportance DepthImportanceFor(double mu, double factor, double span) {
    const double rate = factor * mu;
    if (!(rate > 0.0)) {
        return DepthImportance{};
    }
    const double slab = std::log(2.0) / rate;
    const double depth = std::min(CellGrid::kRows * CellGrid::kRowThickness, span / rate);
    return DepthImportance{slab, static_cast<int>(std::ceil(depth / slab))};
}

} // namespace veltrim::mc
