#pragma once

// The scatter kerma at the entrance surface per node energy and ring
// (data/PDS-surface): the run of one node energy and the files it writes.

#include "tools/mc/KermaFactors.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/SurfaceTally.h"
#include "tools/mc/TissueModel.h"

#include <functional>
#include <string>

namespace veltrim::mc {

// The relative 1-sigma of the scatter kerma summed over rings 1-40, the
// larger of tissue and air: the stopping rule of a surface run.
double SurfaceWorstUncertainty(const SurfaceTally& tally);

// The pencil-beam histories of `settings` scored at the surface; the target
// of `settings` applies to SurfaceWorstUncertainty.
SurfaceTally RunSurface(const TissueModel& tissue, const KermaFactors& kerma,
                        const SurfaceLayer& layer, const RunSettings& settings,
                        const std::function<void(const SurfaceTally&)>& progress = {});

// The file of one node energy: four lines of 20 comma-separated numbers, the
// tissue kerma of rings 1-80, then four lines of the air kerma; "%.6e" in
// the "C" locale, 0 where nothing was scored (keV cm2/g).
std::string SurfaceFileText(const SurfaceTally& tally);

// runs.csv: per energy the histories, the ring sums 1-40 and 1-80 of both
// media with their 1-sigma, and the primary's kerma in the layer over the
// factor of the tables times the layer's mean attenuation
// (1 - exp(-mu t)) / (mu t) with the tool's mu: 1 within its 1-sigma.
std::string SurfaceRunHeader();
std::string SurfaceRunLine(double energy, const SurfaceTally& tally, const KermaFactors& kerma,
                           double mu);
// statistics.csv: per energy and ring both kermas with their 1-sigma.
std::string SurfaceRingHeader();
std::string SurfaceRingLines(double energy, const SurfaceTally& tally);

} // namespace veltrim::mc
