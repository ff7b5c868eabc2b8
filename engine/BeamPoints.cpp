#include "engine/BeamPoints.h"

#include "core/DataFile.h"

#include <algorithm>
#include <future>
#include <thread>

namespace veltrim {
namespace {

// A band of the map is worth a thread of its own from this many points, and
// more than a few bands gain nothing on a desktop's cores.
constexpr std::size_t MapPointsPerBand = 500;
constexpr std::size_t MapBandsAtMost = 4;

std::vector<PhantomPoint> LateralLine(const BeamResult& beam, double depth, LateralAxis axis) {
    std::vector<PhantomPoint> points;
    for (int k = -GridHalfCount; k <= GridHalfCount; ++k) {
        const double lateral = GridStep * k;
        const PhantomPoint p = axis == LateralAxis::X ? PhantomPoint{lateral, 0.0, depth}
                                                      : PhantomPoint{0.0, lateral, depth};
        if (WithinKernelReach(beam.Conditions, beam.DepthDose->Rows, p))
            points.push_back(p);
    }
    return points;
}

} // namespace

ClassicPointKernels ClassicKernelsForPoints(const IrradiationConditions& conditions,
                                            ScatterModel model, Medium medium,
                                            std::optional<double> thicknessCm,
                                            const ModelData& data) {
    ClassicPointKernels out;
    if (!UsesFocusKernels(model, conditions))
        return out;
    out.Thick = BeamKernels(conditions, ScatterModel::Classic, data, medium);
    if (thicknessCm)
        out.Slab = SlabKernels(*out.Thick, *thicknessCm, data, medium);
    return out;
}

std::vector<PointDose> BeamPointDoses(const BeamResult& beam, std::span<const PhantomPoint> points,
                                      const TissueTables& tissue, KernelSource& kernels,
                                      KernelSource* classic, const ModelData& data) {
    return TakeKernels(beam.PhantomMedium, [&] {
        const SurfaceKernelSet* surface =
            NeedsSurfaceKernels(points) ? &data.SurfaceKernels(beam.PhantomMedium) : nullptr;
        const PointBeam point{beam.Spectrum.Spectrum, tissue,  *beam.DepthDose,
                              beam.Conditions,        ModelPi, surface};
        return classic ? DivergentDoseAtPoints(point, kernels, *classic, points)
                       : DoseAtPoints(point, kernels, points);
    });
}

BeamPointDoser::BeamPointDoser(const BeamResult& beam, const ModelData& data)
    : beam_(beam), data_(data),
      thick_(BeamKernels(beam.Conditions, beam.Model, data, beam.PhantomMedium)),
      slab_(beam.ThicknessCm ? SlabKernels(*thick_, *beam.ThicknessCm, data, beam.PhantomMedium)
                             : nullptr),
      classic_(ClassicKernelsForPoints(beam.Conditions, beam.Model, beam.PhantomMedium,
                                       beam.ThicknessCm, data)) {
    try {
        tissue_ = &data.Tissue(beam.PhantomMedium);
    } catch (const DataFileError& e) {
        FailTissueTables(e);
    }
}

std::vector<PointDose> BeamPointDoser::operator()(std::span<const PhantomPoint> points) {
    return BeamPointDoses(beam_, points, *tissue_, slab_ ? *slab_ : *thick_, classic_.Get(), data_);
}

std::vector<PointDose> BeamPointDoses(const BeamResult& beam, std::span<const PhantomPoint> points,
                                      const ModelData& data) {
    return BeamPointDoser(beam, data)(points);
}

double PointPercent(const BeamResult& beam, double perFluence) {
    return PercentOfFirstLayer(*beam.DepthDose, perFluence);
}

std::optional<double> PointMgy(const BeamResult& beam, double perFluence) {
    if (!beam.Absolute || !beam.Absolute->Given)
        return std::nullopt;
    return beam.Absolute->MgyOfFluenceDose(perFluence);
}

DoseGrid BeamProfile(const BeamResult& beam, double depth, LateralAxis axis,
                     const ModelData& data) {
    DoseGrid grid;
    // A depth outside the phantom would leave no point on the line.
    const PhantomPoint onAxis{0.0, 0.0, depth};
    CheckPhantomPoints(beam.Conditions, beam.DepthDose->Rows, std::span(&onAxis, 1));
    grid.Points = LateralLine(beam, depth, axis);
    grid.Doses = BeamPointDoses(beam, grid.Points, data);
    return grid;
}

DoseGrid BeamMap(const BeamResult& beam, LateralAxis axis, const ModelData& data) {
    DoseGrid grid;
    std::vector<std::size_t> rowStart; // where each depth's line begins in Points
    for (int d = 1; d <= beam.DepthDose->Rows; ++d) {
        rowStart.push_back(grid.Points.size());
        const std::vector<PhantomPoint> line = LateralLine(beam, LayerMiddle(d), axis);
        grid.Points.insert(grid.Points.end(), line.begin(), line.end());
    }
    rowStart.push_back(grid.Points.size());
    // Every point's dose is its own sum, whatever else is asked with it, so
    // bands of whole depths are computed at once on the cores there are.
    // A band keeps both sides of the axis, whose mirror points it folds
    // into one; its kernel sources are its own, the model data is shared.
    const std::size_t rows = rowStart.size() - 1;
    const std::size_t bands =
        grid.Points.size() < 2 * MapPointsPerBand
            ? 1
            : std::min<std::size_t>(
                  {std::max(1u, std::thread::hardware_concurrency()), MapBandsAtMost, rows});
    if (bands == 1) {
        grid.Doses = BeamPointDoses(beam, grid.Points, data);
        return grid;
    }
    const std::span<const PhantomPoint> all(grid.Points);
    std::vector<std::future<std::vector<PointDose>>> parts;
    for (std::size_t b = 0; b < bands; ++b) {
        const std::size_t from = rowStart[rows * b / bands];
        const std::size_t to = rowStart[rows * (b + 1) / bands];
        parts.push_back(
            std::async(std::launch::async, [&beam, &data, band = all.subspan(from, to - from)] {
                return BeamPointDoses(beam, band, data);
            }));
    }
    // A band's refusal is the calculation's; the others end before it leaves.
    for (auto& part : parts) {
        const std::vector<PointDose> doses = part.get();
        grid.Doses.insert(grid.Doses.end(), doses.begin(), doses.end());
    }
    return grid;
}

} // namespace veltrim
