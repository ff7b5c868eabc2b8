#pragma once

#include "core/Conditions.h"
#include "core/Grids.h"
#include "tools/mc/FocusRun.h"
#include "tools/mc/KermaFactors.h"

#include <array>
#include <string>
#include <vector>

namespace veltrim::mc {

// The kerma at the entrance surface on the axis, per unit spectrum weight
// (keV cm2/g): of the primary photons (the spectrum's fluence times the
// tables' factors) and of the scattered ones, by the next-event estimate
// over a disc of SurfaceRadius and, as a check, by track length in the
// layer of LayerThickness under the same disc.
struct SurfaceResult {
    double SurfaceRadius = 0.0;  // cm
    double LayerThickness = 0.0; // cm
    double PrimaryTissue = 0.0;
    double IncidentAir = 0.0; // free in air at the skin plane
    double ScatterTissue = 0.0, ScatterTissueSigma = 0.0;
    double ScatterAir = 0.0, ScatterAirSigma = 0.0;
    double LayerTissue = 0.0, LayerTissueSigma = 0.0;
    double LayerAir = 0.0, LayerAirSigma = 0.0;
};

// A row of its own thickness: primary and scatter dose per unit spectrum
// weight (keV cm2/g), the scatter's 1-sigma.
struct FineRowResult {
    double Top = 0.0, Thickness = 0.0; // cm
    double X = 0.0;                    // cm from the axis along the field's first side
    double Primary = 0.0, Scatter = 0.0, ScatterSigma = 0.0;
};

// What a direct run scores beyond the 0.5-cm rows; none of it changes them.
struct DirectExtras {
    const KermaFactors* Kerma = nullptr; // none: no surface kerma
    double SurfaceRadius = 0.5;          // cm
    double LayerThickness = 0.001;       // cm
    std::vector<FineRows> Fine;
    // Rows off the axis (FineRows::X), scored as the fine rows are and
    // after them, from the same stream.
    std::vector<FineRows> Lateral;
};

// The central-axis depth dose of a whole beam by direct Monte Carlo: photons
// of the spectrum from a point focus over the whole rectangular or circular
// field, transported in the phantom; the scatter dose on the axis per 0.5-cm
// row by the next-event estimator, the primary by the expected uncollided
// fluence on the axis (inverse square and attenuation with the tool's own
// cross sections, averaged over the row by 8-point Gauss-Legendre), both per
// unit spectrum weight at the surface, as the program's are.
struct DirectResult {
    int Rows = 0;
    std::uint64_t Histories = 0;
    std::array<double, DepthRowCapacity> Primary{}; // rows from 1, keV cm2/g
    std::array<double, DepthRowCapacity> Scatter{};
    std::array<double, DepthRowCapacity> ScatterSigma{};
    // The scatter deposited within 0.5 cm of the axis, with its 1-sigma.
    std::array<double, DepthRowCapacity> TubeScatter{};
    std::array<double, DepthRowCapacity> TubeScatterSigma{};
    double MeanEnergy = 0.0; // keV, of the spectrum's photons
    bool HasSurface = false;
    SurfaceResult Surface;
    std::vector<FineRowResult> Fine;
    // The primary of an off-axis row is the uncollided dose of a point
    // focus: inside the field's projection, inverse square and attenuation
    // along the slant ray; none outside.
    std::vector<FineRowResult> Lateral;
};

// `spectrum` over bins 21..floor(2 kV) as the program uses it; `conditions`
// gives the FSD and the field (FieldY 0: a circle of diameter FieldX).
DirectResult RunDirect(const TissueModel& tissue, const AxisEstimator& estimator,
                       const EnergyTable& spectrum, const IrradiationConditions& conditions,
                       FocusRunSettings settings, double importanceFactor, double importanceSpan,
                       const DirectExtras& extras = {});

// The table of a direct run: depth, primary, scatter with its 1-sigma, and
// the percentage depth dose normalised to row 1's total with the 1-sigma
// of the ratio (rows correlated with row 1 are treated as independent, which
// overstates it slightly); then, in lines starting with "#", the surface:
// its kermas and the backscatter factor B = 1 + scatter air kerma / incident
// air kerma.
std::string DirectResultText(const DirectResult& result);

// The fine rows of a direct run: top, middle, thickness, primary, scatter
// with its 1-sigma, total.
std::string FineRowsText(const DirectResult& result);

// The off-axis rows: x, top, middle, thickness, primary, scatter with its
// 1-sigma, total.
std::string LateralRowsText(const DirectResult& result);

} // namespace veltrim::mc
