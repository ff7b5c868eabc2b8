#pragma once

#include "tools/mc/BatchQueue.h"
#include "tools/mc/KernelTally.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/TissueModel.h"
#include "tools/mc/Transport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

namespace veltrim::mc {

// How one node energy is simulated. Histories run in batches of
// BatchHistories; batch b draws from the run's stream advanced by b jumps,
// and batches are merged in the order of b, so the result depends on the
// seed, the energy's stream number and the batch count only, never on the
// number of threads or their timing.
struct RunSettings {
    double Energy = 0.0;       // keV
    std::uint64_t Seed = 0;    // the seed of the whole kernel set
    unsigned StreamNumber = 0; // which long-jump stream of the seed (one per node energy)
    std::uint64_t BatchHistories = 100000;
    std::uint64_t MinBatches = 10;
    std::uint64_t MaxBatches = 1; // the run stops here at the latest
    // Stop after the first batch at which every row whose scatter exceeds
    // ScatterFloor x row 1's has a relative 1-sigma uncertainty below
    // TargetUncertainty. 0 disables the test: MaxBatches batches are run.
    double TargetUncertainty = 0.0;
    double ScatterFloor = 1e-4;
    unsigned Threads = 2;
    Phantom Geometry;
    DepthImportance Importance; // analog transport by default
};

struct RowStatistics {
    int RowsTested = 0;            // rows above the floor
    double WorstUncertainty = 0.0; // largest relative 1-sigma among them
    int WorstRow = 0;              // 1-based
};

// The relative uncertainty of the row sums rows[0..rowCount-1] of n histories
// that exceed floor x rows[0].
RowStatistics RowSumStatistics(const ScoringArray& rows, std::uint64_t n, int rowCount,
                               double floor);

// The relative uncertainty of the scatter row sums against the floor.
RowStatistics ScatterRowStatistics(const KernelTally& tally, double floor);

// The pencil-beam histories of `settings` in batches on `Threads` threads (at
// least one), each batch scored into a tally from makeTally(), merged in
// batch order; the run stops once worst(total) is below the target.
// `progress` (may be empty) is called after each merged batch.
template <class Tally, class MakeTally, class Worst>
Tally RunPencilBatches(const TissueModel& tissue, const RunSettings& settings,
                       const MakeTally& makeTally, const Worst& worst,
                       const std::function<void(const Tally&)>& progress) {
    if (settings.BatchHistories == 0 || settings.MaxBatches == 0) {
        throw std::invalid_argument("pencil-beam run: no histories to run");
    }
    if (!(settings.Energy > TissueModel::kMinEnergy &&
          settings.Energy <= TissueModel::kMaxEnergy)) {
        throw std::invalid_argument("pencil-beam run: energy outside the tabulated range");
    }
    RandomStream start(settings.Seed);
    for (unsigned k = 0; k < settings.StreamNumber; ++k) {
        start.LongJump();
    }
    const PencilBeam beam{settings.Energy};
    const auto runBatch = [&](std::uint64_t batch, RandomStream& stream) {
        std::unique_ptr<Tally> tally = makeTally();
        const std::uint64_t first = batch * settings.BatchHistories;
        for (std::uint64_t h = 0; h < settings.BatchHistories; ++h) {
            TransportHistory(beam, settings.Geometry, tissue, settings.Importance, stream, *tally,
                             first + h);
        }
        tally->Finish(settings.BatchHistories);
        return tally;
    };
    const auto enough = [&](const Tally& total, std::uint64_t merged) {
        if (progress) {
            progress(total);
        }
        return settings.TargetUncertainty > 0.0 && merged >= settings.MinBatches &&
               worst(total) < settings.TargetUncertainty;
    };
    std::unique_ptr<Tally> total = makeTally();
    RunInBatches(start, settings.MaxBatches, settings.Threads, runBatch, enough, *total);
    return std::move(*total);
}

// The parallel-beam kernels' run.
KernelTally RunKernel(const TissueModel& tissue, const RunSettings& settings,
                      const std::function<void(const KernelTally&)>& progress = {});

} // namespace veltrim::mc
