#pragma once

#include "tools/mc/AxisEstimator.h"
#include "tools/mc/FocusSource.h"
#include "tools/mc/FocusTally.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/TissueModel.h"
#include "tools/mc/Transport.h"

#include <cstdint>
#include <functional>

namespace veltrim::mc {

// Draws the next photon of the focus from the batch's stream.
using FocusSampler = std::function<FocusPhoton(RandomStream&)>;

// How a run of focus histories is made; batches and streams as for the
// pencil-beam kernels (RunSettings), so that the result depends on the
// seed, the stream number and the batch count only.
struct FocusRunSettings {
    std::uint64_t Seed = 0;
    unsigned StreamNumber = 0;
    std::uint64_t BatchHistories = 20000;
    std::uint64_t MinBatches = 10;
    std::uint64_t MaxBatches = 1;
    // Stop after the first batch at which every tested row whose scatter
    // exceeds ScatterFloor x row 1's has a relative 1-sigma below
    // TargetUncertainty (0: run MaxBatches batches). Rows 1..TestedRows are tested.
    double TargetUncertainty = 0.0;
    double ScatterFloor = 1e-3;
    int TestedRows = CellGrid::kRows;
    int Rows = CellGrid::kRows; // rows scored
    bool RingCells = true;      // kernels (true) or the whole field (false)
    unsigned Threads = 2;
    Phantom Geometry;
    DepthImportance Importance;
    const ExtraScores* Extras = nullptr; // none: the kernels' runs
};

// The relative uncertainty of the scatter row sums of rows 1..testedRows
// whose scatter exceeds floor x row 1's.
RowStatistics FocusRowStatistics(const FocusTally& tally, double floor, int testedRows);

FocusTally RunFocus(const TissueModel& tissue, const AxisEstimator& estimator, const Focus& focus,
                    const FocusSampler& sampler, const FocusRunSettings& settings);

} // namespace veltrim::mc
