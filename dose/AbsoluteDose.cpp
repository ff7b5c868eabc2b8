#include "dose/AbsoluteDose.h"

#include "core/CalculationError.h"
#include "dose/OffAxisCoverage.h"
#include "dose/RingCoverage.h"

#include <cmath>
#include <optional>

namespace veltrim {

SurfaceRings RingsAtSurface(const FieldHalfSides& field, double pi) {
    SurfaceRings rings;
    const double R = std::sqrt(field.X * field.X + field.Y * field.Y);
    // The depth dose, formed first, has refused a field whose corner leaves
    // the rings at any depth, and the field is smallest at the surface.
    const double count = std::floor(2 * R) + 1;
    rings.Count = count < RingCapacity - 1 ? static_cast<int>(count) : RingCapacity - 1;
    if (field.Circle) {
        OffCentreShares(rings.Count, 0.0, 0.0, field.X, 0.0, true, rings.Share.data());
        return rings;
    }
    for (int r = 1; r <= rings.Count; ++r) {
        const std::optional<double> share = RingCoverage(r, field.X, field.Y, pi);
        if (!share)
            FailCalculation(MessageId::CauseRingShare,
                            {Arg(r), Arg(2 * field.X), Arg(2 * field.Y), Arg(0.0)});
        rings.Share[r] = *share;
    }
    return rings;
}

namespace {

// A node's value summed over the rings inside the field.
double OverRings(const std::array<double, RingCapacity>& kernel, const SurfaceRings& rings) {
    double sum = 0.0;
    for (int r = 1; r <= rings.Count; ++r)
        sum = sum + kernel[r] * rings.Share[r];
    return sum;
}

// Between two node energies 5 keV apart, as the depth dose interpolates its
// scatter: linear in energy and in the logarithm where both nodes are
// positive, linear in the value otherwise.
double BetweenNodes(double lower, double upper, double toUpperKeV) {
    if (upper > 0 && lower > 0)
        return std::exp(std::log(upper) - (std::log(upper) - std::log(lower)) * toUpperKeV / 5);
    return upper - (upper - lower) * toUpperKeV / 5;
}

// The nodes of one quantity, summed over the rings, at the node bins 20..300.
using NodeValues = std::array<double, EnergyBinCount>;

double SpectrumWeighted(const NodeValues& nodes, const EnergyTable& spectrum, int topBin) {
    double sum = 0.0;
    for (int i = 21; i <= topBin; ++i) {
        double value = nodes[static_cast<std::size_t>(i)];
        if (i % 10 != 0) {
            const int j = (i / 10 + 1) * 10; // the node bin above
            value = BetweenNodes(nodes[static_cast<std::size_t>(j - 10)],
                                 nodes[static_cast<std::size_t>(j)], 0.5 * j - 0.5 * i);
        }
        sum = sum + value * spectrum[i];
    }
    return sum;
}

double LogBetween(double z, double z0, double d0, double z1, double d1) {
    if (d0 > 0 && d1 > 0)
        return std::exp(std::log(d0) + (std::log(d1) - std::log(d0)) * (z - z0) / (z1 - z0));
    return d0 + (d1 - d0) * (z - z0) / (z1 - z0);
}

void CheckDepth(double z, double deepest) {
    if (!(z >= 0.0 && z <= deepest))
        FailCalculation(MessageId::DoseDepthOutOfRange, {Arg(z), Arg(deepest)});
}

} // namespace

double AirKermaPerFluence(const EnergyTable& spectrum, const EnergyTable& airMuEnOverRho) {
    double sum = 0.0;
    for (int i = 1; i <= 300; ++i)
        sum = sum + spectrum[i] * (0.5 * i) * airMuEnOverRho[i];
    return sum;
}

SurfaceScatter SurfaceScatterPerFluence(const EnergyTable& spectrum, const TissueTables& tissue,
                                        const SurfaceKernelSet& kernels,
                                        const FieldHalfSides& field, int topBin, double pi) {
    const SurfaceRings rings = RingsAtSurface(field, pi);
    NodeValues tissueNodes{};
    NodeValues airNodes{};
    for (int n = 20; n <= 300; n += 10) {
        const SurfaceKernel& kernel = kernels.At(n / 2);
        tissueNodes[static_cast<std::size_t>(n)] = OverRings(kernel.Tissue, rings);
        airNodes[static_cast<std::size_t>(n)] = OverRings(kernel.Air, rings);
    }
    SurfaceScatter surface;
    for (int i = 21; i <= topBin; ++i)
        surface.PrimaryTissue = surface.PrimaryTissue + spectrum[i] * tissue.PrimaryDose[i];
    surface.ScatterTissue = SpectrumWeighted(tissueNodes, spectrum, topBin);
    surface.ScatterAir = SpectrumWeighted(airNodes, spectrum, topBin);
    if (!std::isfinite(surface.PrimaryTissue) || !std::isfinite(surface.ScatterTissue) ||
        !std::isfinite(surface.ScatterAir))
        FailCalculation(MessageId::CauseScatterNotFinite, {Arg(0.0)});
    return surface;
}

DosePerAirKerma DosePerIncidentAirKerma(int rows, const DepthProfile& primaryDose,
                                        const DepthProfile& scatterDose, double airKermaPerFluence,
                                        const SurfaceScatter& surface) {
    if (!(airKermaPerFluence > 0.0) || !std::isfinite(airKermaPerFluence))
        FailCalculation(MessageId::BeamCarriesNoAirKerma);
    DosePerAirKerma dose;
    dose.Rows = rows;
    for (int d = 1; d <= rows; ++d) {
        dose.Primary[d] = primaryDose[d] / airKermaPerFluence;
        dose.Scatter[d] = scatterDose[d] / airKermaPerFluence;
        dose.Total[d] = (primaryDose[d] + scatterDose[d]) / airKermaPerFluence;
    }
    dose.SurfacePrimary = surface.PrimaryTissue / airKermaPerFluence;
    dose.SurfaceScatter = surface.ScatterTissue / airKermaPerFluence;
    dose.Surface = (surface.PrimaryTissue + surface.ScatterTissue) / airKermaPerFluence;
    dose.Backscatter = (airKermaPerFluence + surface.ScatterAir) / airKermaPerFluence;
    return dose;
}

double DoseAtDepth(const DosePerAirKerma& dose, double z) {
    const double deepest = 0.5 * dose.Rows;
    CheckDepth(z, deepest);
    if (z <= LayerMiddle(1))
        return LogBetween(z, 0.0, dose.Surface, LayerMiddle(1), dose.Total[1]);
    int d = static_cast<int>(std::floor(2 * z + 0.5)); // the layer middle at or shallower than z
    if (z == LayerMiddle(d))
        return dose.Total[d];
    if (d >= dose.Rows)
        d = dose.Rows - 1;
    return LogBetween(z, LayerMiddle(d), dose.Total[d], LayerMiddle(d + 1), dose.Total[d + 1]);
}

std::pair<double, double> DoseOverDepths(const DosePerAirKerma& dose, double z1, double z2) {
    const double deepest = 0.5 * dose.Rows;
    CheckDepth(z1, deepest);
    CheckDepth(z2, deepest);
    if (z2 < z1)
        FailCalculation(MessageId::DoseRangeBackwards, {Arg(z1), Arg(z2)});
    double least = DoseAtDepth(dose, z1);
    double most = least;
    const auto take = [&](double value) {
        least = std::min(least, value);
        most = std::max(most, value);
    };
    take(DoseAtDepth(dose, z2));
    for (int d = 1; d <= dose.Rows; ++d)
        if (LayerMiddle(d) > z1 && LayerMiddle(d) < z2)
            take(dose.Total[d]);
    return {least, most};
}

} // namespace veltrim
