#pragma once

#include <cmath>

namespace veltrim {

// Cotangent of the anode's target angle (degrees), with the model's Pi: turns
// the depth at which a photon is made into its path out of the anode.
inline double TargetCotangent(double targetAngle, double pi) {
    return 1 / std::tan(targetAngle * pi / 180);
}

// Share of the tungsten K lines, in percent of a phase sample's continuum, for
// a sample voltage V above 70 kV (2.80 at 100 kV, 5.08 at 150 kV).
inline double KLineShare(double V) {
    return (std::sqrt(8.79856 * V - 595.149) - 4.55528) / 4.39928;
}

} // namespace veltrim
