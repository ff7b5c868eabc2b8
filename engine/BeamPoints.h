#pragma once

// The dose anywhere in the phantom of a calculated beam: at points, across
// the field at a depth, and over the plane through the axis.

#include "dose/PointDose.h"
#include "engine/CalculateBeam.h"

#include <cmath>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace veltrim {

// The dose at points of a calculated beam (with its depth dose), per unit
// fluence at the surface, from the kernels of its scatter model. Throws
// BeamError (DepthDose) with the cause; nothing is computed when any point
// is refused.
std::vector<PointDose> BeamPointDoses(const BeamResult& beam, std::span<const PhantomPoint> points,
                                      const ModelData& data);
// The classic kernels that the divergent model's points off the axis step
// from to its tilted kernels (a finite phantom's slab of them); none for the
// classic model or an FSD that has no point-focus kernels.
struct ClassicPointKernels {
    std::unique_ptr<KernelSource> Thick;
    std::unique_ptr<KernelSource> Slab;
    KernelSource* Get() const { return Slab ? Slab.get() : Thick.get(); }
};
ClassicPointKernels ClassicKernelsForPoints(const IrradiationConditions& conditions,
                                            ScatterModel model, Medium medium,
                                            std::optional<double> thicknessCm,
                                            const ModelData& data);

// The dose at points of a calculated beam, block after block: its kernels
// and tables are made once, so that a caller with very many points can ask
// for them in blocks of bounded memory (and stop between blocks); a point's
// dose does not depend on the others asked with it. The beam and the data
// must outlive it. Throws BeamError (DepthDose) as BeamPointDoses.
class BeamPointDoser {
  public:
    BeamPointDoser(const BeamResult& beam, const ModelData& data);
    std::vector<PointDose> operator()(std::span<const PhantomPoint> points);

  private:
    const BeamResult& beam_;
    const ModelData& data_;
    const TissueTables* tissue_ = nullptr;
    std::unique_ptr<KernelSource> thick_;
    // A finite phantom's points lack the scatter from beyond its exit face,
    // as its table does.
    std::unique_ptr<KernelSource> slab_;
    ClassicPointKernels classic_;
};

// `classic` is the classic model's kernels when the beam's own are the
// point-focus ones (see DivergentDoseAtPoints), null otherwise; the surface
// kernels of the beam's medium are read from `data` for points above the
// first layer middle.
std::vector<PointDose> BeamPointDoses(const BeamResult& beam, std::span<const PhantomPoint> points,
                                      const TissueTables& tissue, KernelSource& kernels,
                                      KernelSource* classic, const ModelData& data);

// A dose per unit fluence of the beam in per cent of the axis's first-layer
// total, and in mGy when the beam has an exposure.
double PointPercent(const BeamResult& beam, double perFluence);
std::optional<double> PointMgy(const BeamResult& beam, double perFluence);

// The lateral direction of a profile or of the plane of a map: along the
// field's first side (x) or its second (y).
enum class LateralAxis { X, Y };

// Points on a grid and the dose at each.
struct DoseGrid {
    std::vector<PhantomPoint> Points;
    std::vector<PointDose> Doses;
};

// The lateral grid of profiles and maps: 0.5 cm from -30 to 30 cm.
inline constexpr double GridStep = 0.5;
inline constexpr int GridHalfCount = 60;

// Where a point of a map lies in its grid: the row of its layer and the
// column of its lateral position in the plane.
struct MapCell {
    int Row = 0;
    int Column = 0;
};
inline MapCell MapCellOf(const PhantomPoint& p, LateralAxis axis) {
    const double lateral = axis == LateralAxis::X ? p.X : p.Y;
    return {static_cast<int>(std::lround(2 * p.Z - 0.5)),
            static_cast<int>(std::lround(lateral / GridStep)) + GridHalfCount};
}

// The dose across the field at `depth` along x or y, at the grid's points
// that the kernels reach. Throws CalculationError for a depth outside the
// phantom (before anything is computed), BeamError as BeamPointDoses.
DoseGrid BeamProfile(const BeamResult& beam, double depth, LateralAxis axis, const ModelData& data);

// The dose over the x-z (or y-z) plane through the axis: every layer middle,
// at the grid's points that the kernels reach at that depth, row by row.
// A large map is computed in bands of depths on the machine's cores; the
// numbers are those of one band to the last bit.
DoseGrid BeamMap(const BeamResult& beam, LateralAxis axis, const ModelData& data);

} // namespace veltrim
