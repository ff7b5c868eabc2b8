#pragma once

// The direct Monte Carlo runs of whole beams (tools/validate/direct/, written
// by `veltrim-kernels direct`): the beams, their 0.5-cm rows, the entrance
// surface on the axis, and the 0.1-cm rows near the surface and at 10 cm.
// Everything is per unit spectrum weight, that is per unit photon fluence at
// the surface, keV cm2/g.

#include "core/Conditions.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::validate {

struct DirectBeam {
    const char* Name; // the file in the direct folder, without .csv
    double Kv;
    int Rectification;
    double FieldX, FieldY, Fsd;
};

// 12 degrees, 2.5 mm Al inherent, no added filter.
inline constexpr DirectBeam DirectBeams[] = {
    {"80kV-30x30-fsd100", 80, 1, 30, 30, 100},
    {"120kV-20x20-fsd100", 120, 1, 20, 20, 100},
    {"60kV-1ph-10x10-fsd60", 60, 3, 10, 10, 60},
    {"100kV-15circle-fsd80", 100, 1, 15, 0, 80},
};

IrradiationConditions ConditionsOf(const DirectBeam& beam);

// One row: its middle depth (cm), primary and scatter dose with the scatter's
// 1-sigma; the PDD columns only in the 0.5-cm rows.
struct DirectRow {
    double Depth = 0, Primary = 0, Scatter = 0, ScatterSigma = 0, TotalPdd = 0, TotalPddSigma = 0;
};

// The kerma at the entrance surface on the axis, with 1-sigma.
struct DirectSurface {
    double PrimaryTissue = 0, IncidentAirKerma = 0;
    double ScatterTissue = 0, ScatterTissueSigma = 0, ScatterAir = 0, ScatterAirSigma = 0;
    double Backscatter = 0, BackscatterSigma = 0;
    double Tissue = 0, TissueSigma = 0; // primary plus scatter: the dose at the surface
};

struct DirectRun {
    std::vector<DirectRow> Rows; // 0.5 cm
    DirectSurface Surface;
    std::vector<DirectRow> Fine; // 0.1 cm, when the run has them
};

// `<beam>.csv` and, when it exists, `<beam>-fine.csv`. Throws
// std::runtime_error naming the file when it cannot be read or lacks a
// surface quantity.
DirectRun ReadDirectRun(const std::filesystem::path& folder, const DirectBeam& beam);

} // namespace veltrim::validate
