#pragma once

#include "tools/validate/Engine.h"
#include "tools/validate/Report.h"
#include "tools/validate/SurfaceScatter.h"

#include <optional>

namespace veltrim::validate {

struct Context {
    Engine& Calc;
    Report& Out;
    // Settings of the thin-layer Monte Carlo; empty: that study is skipped.
    std::optional<SurfaceTallySettings> Surface;
};

// Each writes its section of the report and records its checks.
void DataSection(Context& c);
void SpectraSection(Context& c);
void KernelSection(Context& c);
void DepthDoseSection(Context& c);
void MendedFaultsSection(Context& c);

// The beams of the depth-dose section: 60/80/100/120 kV, 2.5 mm Al, 12
// degrees, constant potential, fields 10/20/30 cm square, FSD 60 and 100 cm.
std::vector<IrradiationConditions> TypicalBeams();

// Relative 1-sigma (fraction) of the total PDD of every row that the
// per-row statistics of the kernels imply for a beam (statistics.csv), rows
// 1..60; index 0 unused.
std::array<double, DepthRowCapacity> PddStatisticalSigma(Engine& calc, const IrradiationConditions& beam);

} // namespace veltrim::validate
