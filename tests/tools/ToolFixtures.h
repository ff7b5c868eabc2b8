#pragma once

// What the Monte Carlo tests share: the tissue model and an axis estimator
// of 30 rows, tabulated once per test program since that takes a moment, and
// the settings and sums the tests keep making.

#include "tools/mc/AxisEstimator.h"
#include "tools/mc/FocusRun.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/TissueModel.h"
#include "tools/xrl/XrayLib.h"

namespace veltrim::mc {

inline const TissueModel& Tissue() {
    static const TissueModel tissue(xrl::IcruSoftTissue());
    return tissue;
}

inline const AxisEstimator& Estimator() {
    static const AxisEstimator estimator(Tissue(), 30);
    return estimator;
}

// The depth splitting of the tool's default factors.
inline DepthImportance Splitting(double energy) {
    return DepthImportanceFor(Tissue().At(energy).Total(), 0.6, 12.0);
}

// Pencil-beam histories with that splitting, `batches` batches of 10 000,
// on a stream of the test's own.
inline RunSettings Pencil(double energy, std::uint64_t batches, std::uint64_t seed,
                          unsigned stream) {
    return {.Energy = energy,
            .Seed = seed,
            .StreamNumber = stream,
            .BatchHistories = 10000,
            .MaxBatches = batches,
            .Geometry = Phantom{},
            .Importance = Splitting(energy)};
}

// Histories of a focus scored and tested over `rows` rows, `batches`
// batches of `perBatch`, analog transport in the kernels' phantom.
inline FocusRunSettings FocusHistories(std::uint64_t seed, unsigned stream, std::uint64_t batches,
                                       std::uint64_t perBatch, int rows) {
    return {.Seed = seed,
            .StreamNumber = stream,
            .BatchHistories = perBatch,
            .MaxBatches = batches,
            .TestedRows = rows,
            .Rows = rows,
            .Geometry = Phantom{},
            .Importance = DepthImportance{}};
}

// The scatter a kernel's rings give the axis at one row.
inline double RowSum(const ScatterKernelTable& kernel, int row) {
    double sum = 0.0;
    for (int c = 1; c <= CellGrid::kRings; ++c)
        sum += kernel[static_cast<std::size_t>(c)][static_cast<std::size_t>(row)];
    return sum;
}

} // namespace veltrim::mc
