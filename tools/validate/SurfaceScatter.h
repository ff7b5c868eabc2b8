#pragma once

// Scatter dose in thin layers under the entrance surface, from the same
// photon physics as the shipped kernels (tools/mc), to see how the kernels'
// first 0.5-cm row relates to the surface, where backscatter factors are
// defined.

#include <cstdint>
#include <vector>

namespace veltrim::mc {
class TissueModel;
}

namespace veltrim::validate {

// Layers [0, depth) under the surface and square parallel fields of the
// given sides that the scatter is scored for.
struct SurfaceTallySettings {
    std::vector<double> LayerDepths{0.02, 0.05, 0.1, 0.5};        // cm
    std::vector<double> FieldSides{10.0, 20.0, 25.0, 30.0, 35.0}; // cm
    std::uint64_t Histories = 1000000;
    std::uint64_t Seed = 20261207;
    // Focus-to-surface distance of the divergent estimate, cm.
    double Fsd = 100.0;
};

// Scatter dose (keV cm2/g per unit fluence, averaged over the layer) on the
// axis of a parallel square field, with its 1-sigma, for one energy:
// [layer][field]. By reciprocity in a laterally uniform phantom it equals the
// scatter energy that a pencil beam on the axis deposits in the layer within
// the square, divided by the layer's mass per unit area.
// DivergentDose estimates the same for a point focus at Fsd to leading
// order: each history's scatter is weighted by the inverse-square factor
// Fsd^2 / (Fsd + z1)^2 at the depth z1 of its first interaction, where the
// divergent beam's fluence is lower than the parallel beam's.
struct SurfaceScatter {
    double Energy = 0.0;
    std::vector<std::vector<double>> Dose, Sigma, DivergentDose;
};

// The kernels' transport (tools/mc), analog (no splitting), in their
// phantom, 60 cm radius and 60 cm thick, with photoelectric absorption,
// Klein-Nishina x S(q) and coherent scattering; electrons deposit on the spot.
SurfaceScatter RunSurfaceScatter(double energyKeV, const mc::TissueModel& tissue,
                                 const SurfaceTallySettings& settings);

} // namespace veltrim::validate
