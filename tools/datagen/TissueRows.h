#pragma once

// The rows of the tissue attenuation table: energies chosen so that the
// reader's interpolation (log-log in each of the coherent, incoherent and
// photoelectric coefficients separately, then summed) reproduces xraylib's
// total attenuation on every 0.5-keV bin from 10.5 to 150 keV.

#include "tools/xrl/XrayLib.h"

#include <vector>

namespace veltrim::datagen {

struct TissueRow {
    double EnergyKeV = 0.0;
    double Coherent = 0.0;      // 1/cm
    double Incoherent = 0.0;    // 1/cm
    double Photoelectric = 0.0; // 1/cm
};

// The three partial linear coefficients of the material at E keV, 1/cm.
TissueRow PartialCoefficients(const xrl::Material& material, double E);

// Total linear attenuation at E keV interpolated from the rows by the
// depth-dose computation's own interpolation (TissueAttenuation). Throws a
// std::runtime_error at or above the last row's energy.
double InterpolatedTotal(const std::vector<TissueRow>& rows, double E);

// Largest |interpolated / xraylib - 1| over the bins 21..300 (10.5..150 keV)
// and the energy where it occurs.
struct InterpolationError {
    double MaxRelative = 0.0;
    double AtKeV = 0.0;
};
InterpolationError MeasureInterpolationError(const std::vector<TissueRow>& rows,
                                             const xrl::Material& material);

// Chooses at most maxRows energies on the 0.5-keV grid, the first at 10 keV
// and the last at lastKeV (above 150 keV), that keep the interpolation error
// smallest: for a trial tolerance each row is placed as far above the
// previous one as the tolerance allows, and the tolerance is bisected down to
// the smallest one that needs no more than maxRows rows.
std::vector<double> ChooseTissueEnergies(const xrl::Material& material, int maxRows,
                                         double lastKeV);

} // namespace veltrim::datagen
