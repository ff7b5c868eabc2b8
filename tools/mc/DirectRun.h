#pragma once

#include "core/Conditions.h"
#include "core/Grids.h"
#include "tools/mc/FocusRun.h"

#include <array>
#include <string>

namespace veltrim::mc {

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
};

// `spectrum` over bins 21..floor(2 kV) as the program uses it; `conditions`
// gives the FSD and the field (FieldY 0: a circle of diameter FieldX).
DirectResult RunDirect(const TissueModel& tissue, const AxisEstimator& estimator,
                       const EnergyTable& spectrum, const IrradiationConditions& conditions,
                       FocusRunSettings settings, double importanceFactor, double importanceSpan);

// The table of a direct run: depth, primary, scatter with its 1-sigma, and
// the percentage depth dose normalised to row 1's total with the 1-sigma
// of the ratio (rows correlated with row 1 are treated as independent, which
// overstates it slightly).
std::string DirectResultText(const DirectResult& result);

} // namespace veltrim::mc
