#pragma once

// The grids every table of the calculation is laid out on.

#include <array>

namespace veltrim {

// Photon energy bins of 0.5 keV: bin j holds 0.5 j keV, j = 0..300 (150 keV).
inline constexpr int EnergyBinCount = 301;
using EnergyTable = std::array<double, EnergyBinCount>;

// Depth rows: row d is the tissue layer from 0.5(d-1) to 0.5d cm; rows 0..80.
inline constexpr int DepthRowCapacity = 81;
// Rings around the beam axis, 0.5 cm wide, 1..80 (index 0 unused).
inline constexpr int RingCapacity = 81;

// Middle of the 0.5-cm layer of depth row d, cm.
inline constexpr double LayerMiddle(int d) {
    return 0.5 * d - 0.25;
}

} // namespace veltrim
