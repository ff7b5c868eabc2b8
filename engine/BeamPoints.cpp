#include "engine/BeamPoints.h"

#include "core/DataFile.h"

namespace veltrim {
namespace {

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
    for (int d = 1; d <= beam.DepthDose->Rows; ++d) {
        const std::vector<PhantomPoint> line = LateralLine(beam, LayerMiddle(d), axis);
        grid.Points.insert(grid.Points.end(), line.begin(), line.end());
    }
    grid.Doses = BeamPointDoses(beam, grid.Points, data);
    return grid;
}

} // namespace veltrim
