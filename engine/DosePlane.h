#pragma once

// The dose map of a plane through the axis as a picture reads it: a regular
// grid of the total dose, and the isodose lines through it.

#include "engine/BeamPoints.h"

#include <vector>

namespace veltrim {

// The isodose levels drawn on a map, per cent of the axis's first-layer total.
inline constexpr double IsodoseLevels[] = {100, 80, 50, 20, 10, 5, 2, 1, 0.5, 0.1};

// A map's total dose, per cent, on the grid of BeamMap: columns every
// GridStep from -GridHalfCount steps to +GridHalfCount, rows the layer
// middles from the first down; NaN where the kernels do not reach.
struct DosePlane {
    int Rows = 0;
    int Columns = 2 * GridHalfCount + 1;
    std::vector<double> Total; // row by row
    double Lateral(int column) const { return GridStep * (column - GridHalfCount); }
    double Depth(int row) const;
    double At(int row, int column) const { return Total[std::size_t(row * Columns + column)]; }
};

DosePlane PlaneOfMap(const BeamResult& beam, const DoseGrid& map, LateralAxis axis);

// A piece of an isodose line, cm: lateral and depth of its two ends.
struct IsodoseSegment {
    double Lateral0 = 0, Depth0 = 0, Lateral1 = 0, Depth1 = 0;
};

// The line where the dose is `level` per cent, by marching squares over the
// cells whose four corners are all known. Along a cell's edge the crossing
// lies where the logarithm of the dose reaches the level's, since the dose
// falls about exponentially between grid points; a saddle cell is split as
// its mean lies.
std::vector<IsodoseSegment> IsodoseLine(const DosePlane& plane, double level);

} // namespace veltrim
