// The dose at points: the axis's sums, with the point in place of the axis.
// On the axis every sum is formed as the depth dose forms it (the same ring
// shares, terms and order), so that a point there gives the table's own
// numbers (for a circle those of each ring's exact share, ExactScatterDose);
// off the axis the shares are the exact ones of the off-centre field. At the
// surface the scatter is the surface kernels', as the absolute dose takes it.
#include "dose/PointDose.h"

#include "core/CalculationError.h"
#include "dose/AbsoluteDose.h"
#include "dose/KernelTail.h"
#include "dose/OffAxisCoverage.h"
#include "dose/RingCoverage.h"
#include "dose/TiltedKernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>

namespace veltrim {
namespace {

// The kernels' rings, with their tails, reach 100 cm from the point of calculation.
constexpr double KernelReach = PointRingReach;

// The field as typed, projected onto the plane at depth z: the sides grow
// with the distance from the focus. A circle has the radius HalfX.
struct ProjectedField {
    double HalfX = 0.0;
    double HalfY = 0.0;
    bool Circle = false;
};

ProjectedField Project(const IrradiationConditions& c, double z) {
    return {0.5 * c.FieldX * (c.Fsd + z) / c.Fsd, 0.5 * c.FieldY * (c.Fsd + z) / c.Fsd,
            c.FieldY == 0};
}

bool Inside(const ProjectedField& f, double x, double y) {
    if (f.Circle)
        return x * x + y * y <= f.HalfX * f.HalfX;
    return std::fabs(x) <= f.HalfX && std::fabs(y) <= f.HalfY;
}

// The distance from (x, y) to the farthest point of the field.
double Farthest(const ProjectedField& f, double x, double y) {
    if (f.Circle)
        return std::hypot(x, y) + f.HalfX;
    return std::hypot(std::fabs(x) + f.HalfX, std::fabs(y) + f.HalfY);
}

// How far from the axis, in the direction of (x, y), a point can lie before
// the farthest corner of the field leaves the kernels' reach.
double Reach(const ProjectedField& f, double x, double y) {
    if (f.Circle)
        return KernelReach - f.HalfX;
    const double length = std::hypot(x, y);
    const double ux = length > 0 ? std::fabs(x) / length : 1.0;
    const double uy = length > 0 ? std::fabs(y) / length : 0.0;
    // |t u + h| = reach, for the corner opposite the point.
    const double along = ux * f.HalfX + uy * f.HalfY;
    const double squared =
        along * along - f.HalfX * f.HalfX - f.HalfY * f.HalfY + KernelReach * KernelReach;
    return std::max(0.0, -along + std::sqrt(std::max(0.0, squared)));
}

// The one or two layer middles whose scatter a depth is formed from; row 0
// stands for the entrance surface.
struct Rows {
    int Upper = 1;
    int Lower = 1;
};

double RowDepth(int d) {
    return d == 0 ? 0.0 : LayerMiddle(d);
}

Rows RowsAround(double z, int rows) {
    if (z == 0)
        return {0, 0};
    if (z < LayerMiddle(1))
        return {0, 1};
    int d = static_cast<int>(std::floor(2 * z + 0.5)); // the middle at or above z
    if ((d >= 1 && d <= rows && z == LayerMiddle(d)) || rows == 1)
        return {std::clamp(d, 1, rows), std::clamp(d, 1, rows)};
    d = std::clamp(d, 1, rows - 1);
    return {d, d + 1};
}

void CheckPoint(const IrradiationConditions& conditions, int rows, const PhantomPoint& p) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z))
        FailCalculation(MessageId::PointNotFinite, {Arg(p.X), Arg(p.Y), Arg(p.Z)});
    const double deepest = 0.5 * rows;
    if (!(p.Z >= 0.0 && p.Z <= deepest))
        FailCalculation(MessageId::DoseDepthOutOfRange, {Arg(p.Z), Arg(deepest)});
    if (!WithinKernelReach(conditions, rows, p)) {
        const ProjectedField deeper = Project(conditions, RowDepth(RowsAround(p.Z, rows).Lower));
        const double reach = std::floor(Reach(deeper, p.X, p.Y) * 10 - 1e-9) / 10;
        FailCalculation(MessageId::PointBeyondKernels,
                        {Arg(std::hypot(p.X, p.Y)), Arg(p.Z), Arg(std::max(reach, 0.0))});
    }
}

// One point in the plane of one layer middle (or of the surface, row 0):
// the rings and their shares.
struct RowPoint {
    int Row = 0;
    double G = 0.0; // the inverse square of the layer middle
    int Rings = 0;
    std::vector<double> Share; // rings 0..Rings (0 unused)
    // The point-focus model off the axis: each ring's rays' outward tilt as
    // seen from the point, in units of the same ring's around the axis.
    bool Axis = false;
    std::vector<double> Tilt;
    std::array<double, KernelNodeCount> Nodes{}; // the ring sums at the node energies
};

// The axis's rings, as the depth dose forms them for a rectangle and with
// each ring's exact share for a circle; at the surface as the absolute dose
// forms them.
void AxisRings(const PointBeam& beam, int d, RowPoint& row) {
    const DepthDoseCalculation& axis = beam.Axis;
    if (d == 0) {
        const SurfaceRings rings = RingsAtSurface(HalveField(beam.Conditions), beam.Pi);
        row.Rings = rings.Count;
        row.Share.assign(rings.Share.begin(), rings.Share.begin() + rings.Count + 1);
        return;
    }
    const double z = LayerMiddle(d);
    const double fsd = beam.Conditions.Fsd;
    const double hx = axis.HalfFieldX * (fsd + z) / fsd;
    const double hy = axis.HalfFieldY * (fsd + z) / fsd;
    row.Rings = static_cast<int>(std::floor(2 * std::sqrt(hx * hx + hy * hy)) + 1);
    row.Share.assign(static_cast<std::size_t>(row.Rings) + 1, 0.0);
    if (axis.CircularField) {
        OffCentreShares(row.Rings, 0.0, 0.0, hx, hy, true, row.Share.data());
        return;
    }
    for (int r = 1; r <= row.Rings; ++r) {
        const std::optional<double> share = RingCoverage(r, hx, hy, beam.Pi);
        if (!share)
            FailCalculation(MessageId::CauseRingShare, {Arg(r), Arg(2 * hx), Arg(2 * hy), Arg(z)});
        row.Share[r] = *share;
    }
}

RowPoint PrepareRow(const PointBeam& beam, const PhantomPoint& p, int d) {
    RowPoint row;
    row.Row = d;
    const double fsd = beam.Conditions.Fsd;
    const double z = RowDepth(d);
    row.G = d == 0 ? 1.0 : fsd * fsd / ((fsd + z) * (fsd + z));
    if (p.X == 0 && p.Y == 0) {
        AxisRings(beam, d, row);
        return row;
    }
    const ProjectedField f = Project(beam.Conditions, z);
    row.Rings = static_cast<int>(std::floor(2 * Farthest(f, p.X, p.Y)) + 1);
    row.Share.assign(static_cast<std::size_t>(row.Rings) + 1, 0.0);
    OffCentreShares(row.Rings, p.X, p.Y, f.HalfX, f.HalfY, f.Circle, row.Share.data());
    return row;
}

// The point-focus model's row: on the axis the axis's own rings on the
// point-focus kernels; off it each ring's share thinned by the focus's
// fall-off where the ring meets the field, and the tilt of the rays there
// as the point sees it (TiltedKernel). The surface takes the parallel-beam
// surface kernels in either model.
RowPoint PrepareFocusRow(const PointBeam& beam, const PhantomPoint& p, int d) {
    RowPoint row = PrepareRow(beam, p, d);
    if (d == 0)
        return row;
    if (p.X == 0 && p.Y == 0) {
        row.Axis = true;
        return row;
    }
    const double z = LayerMiddle(d);
    const double focus = beam.Conditions.Fsd + z;
    const ProjectedField f = Project(beam.Conditions, z);
    row.Tilt.assign(row.Share.size(), 1.0);
    for (int r = 1; r <= row.Rings; ++r) {
        if (row.Share[r] <= 0)
            continue;
        const RingView view = FocusRingView(r, p.X, p.Y, f.HalfX, f.HalfY, f.Circle, focus);
        row.Share[r] = row.Share[r] * view.Fluence;
        row.Tilt[r] = view.Tilt;
    }
    return row;
}

// The row's rings of a kernel, `kernel`(r), times the inverse square and the share.
template <class Kernel> double RingSum(const RowPoint& row, Kernel kernel) {
    double sum = 0.0;
    for (int r = 1; r <= row.Rings; ++r)
        sum = sum + kernel(r) * row.G * row.Share[r];
    return sum;
}

// The surface row: the surface kernel's tissue kerma, beyond ring 80 at the
// rate of the depth kernel of its energy (`flat`).
double SurfaceRingSum(const PointBeam& beam, const RowPoint& row, int energy,
                      const ExtendedKernel& flat) {
    if (beam.Surface == nullptr)
        throw std::invalid_argument("the dose near the surface needs the surface kernels");
    const std::array<double, RingCapacity>& tissue = beam.Surface->At(energy).Tissue;
    const double tail = TailAmplitude(tissue, flat.Rate());
    return RingSum(row, [&](int r) { return r < RingCapacity ? tissue[r] : flat.Tail(tail, r); });
}

// Between two kernel nodes, as the depth dose interpolates: linear in energy
// and in the logarithm where both are positive, linear in the value where one
// is zero.
double SpectrumScatter(const RowPoint& row, const EnergyTable& spectrum, int topBin) {
    std::array<double, KernelNodeCount> logs{};
    for (int k = 0; k < KernelNodeCount; ++k) {
        if (row.Nodes[k] < 0)
            FailCalculation(MessageId::CauseNodeScatterNegative,
                            {Arg(FirstKernelKeV + 5 * k), Arg(RowDepth(row.Row))});
        logs[k] = row.Nodes[k] > 0 ? std::log(row.Nodes[k]) : 0.0;
    }
    double sum = 0.0;
    for (int i = 21; i <= topBin; ++i) {
        double value = 0.0;
        if (i % 10 == 0) {
            value = row.Nodes[i / 10 - 2];
        } else {
            const int j = (i / 10 + 1) * 10; // the node bin above
            const double toUpper = 0.5 * j - 0.5 * i;
            const int upper = j / 10 - 2;
            const double H = row.Nodes[upper];
            const double L = row.Nodes[upper - 1];
            value = H > 0 && L > 0
                        ? std::exp(logs[upper] - (logs[upper] - logs[upper - 1]) * toUpper / 5)
                        : H - (H - L) * toUpper / 5;
        }
        sum = sum + value * spectrum[i];
    }
    if (!std::isfinite(sum))
        FailCalculation(MessageId::CauseScatterNotFinite, {Arg(RowDepth(row.Row))});
    return sum;
}

// The primary at the point itself: the ray from the focus is longer than
// the axis's by s / (Fsd + z), in the inverse square and in the tissue it
// crosses alike.
double PrimaryAt(const PointBeam& beam, const std::array<double, EnergyBinCount>& mu, int topBin,
                 const PhantomPoint& p) {
    const double fsd = beam.Conditions.Fsd;
    if (!Inside(Project(beam.Conditions, p.Z), p.X, p.Y))
        return 0.0;
    const double fromFocus = fsd + p.Z;
    const double s2 = fromFocus * fromFocus + (p.X * p.X + p.Y * p.Y);
    const double slant = p.Z * (std::sqrt(s2) / fromFocus);
    const double fsdSquared = fsd * fsd;
    double sum = 0.0;
    // On the axis at the surface the inverse square is 1 exactly, and the
    // primary the surface dose's own to the bit.
    const bool surfaceAxis = s2 == fsdSquared;
    for (int i = 21; i <= topBin; ++i) {
        const double weight = surfaceAxis ? beam.Spectrum[i] : beam.Spectrum[i] * fsdSquared / s2;
        sum = sum + weight * beam.Tissue.PrimaryDose[i] * std::exp(-mu[i] * slant);
    }
    if (!std::isfinite(sum))
        FailCalculation(MessageId::CausePrimaryNotFinite, {Arg(p.Z)});
    return sum;
}

double LogBetween(double z, double z0, double d0, double z1, double d1) {
    if (d0 > 0 && d1 > 0)
        return std::exp(std::log(d0) + (std::log(d1) - std::log(d0)) * (z - z0) / (z1 - z0));
    return d0 + (d1 - d0) * (z - z0) / (z1 - z0);
}

// The dose at the points with the rings' weights on `kernels`, and, for the
// point-focus model, on `focus` too.
std::vector<PointDose> Computed(const PointBeam& beam, KernelSource& kernels, KernelSource* focus,
                                std::span<const PhantomPoint> points) {
    const int topBin = static_cast<int>(std::floor(2 * beam.Conditions.TubeVoltage));
    std::array<double, EnergyBinCount> mu{};
    for (int i = 21; i <= topBin; ++i)
        mu[i] = TissueAttenuation(beam.Tissue.Rows, beam.Tissue.RowCount, 0.5 * i);

    std::vector<Rows> around;
    std::vector<RowPoint> rows;
    around.reserve(points.size());
    rows.reserve(points.size());
    auto prepare = [&](const PhantomPoint& p, int d) {
        return focus ? PrepareFocusRow(beam, p, d) : PrepareRow(beam, p, d);
    };
    for (const PhantomPoint& p : points) {
        around.push_back(RowsAround(p.Z, beam.Axis.Rows));
        rows.push_back(prepare(p, around.back().Upper));
        if (around.back().Lower != around.back().Upper)
            rows.push_back(prepare(p, around.back().Lower));
    }
    // Each kernel once for all the points: with the point-focus sets it is
    // interpolated between two FSDs at every asking.
    std::optional<TiltedKernel> tilted;
    if (focus)
        tilted.emplace(beam.Conditions.Fsd);
    ExtendedKernel flat;
    for (int k = 0; k < KernelNodeCount; ++k) {
        const int energy = FirstKernelKeV + 5 * k;
        const ScatterKernelTable& kernel = kernels.Kernel(energy);
        flat.Take(kernel);
        if (focus)
            tilted->Take(kernel, focus->Kernel(energy));
        for (RowPoint& row : rows) {
            const int d = row.Row;
            if (d == 0)
                row.Nodes[k] = SurfaceRingSum(beam, row, energy, flat);
            else if (!focus)
                row.Nodes[k] = RingSum(row, [&](int r) { return flat.At(r, d); });
            else if (row.Axis)
                row.Nodes[k] = RingSum(row, [&](int r) { return tilted->Focus(r, d); });
            else
                row.Nodes[k] = tilted->RingSum(d, row.Rings, row.G, row.Share, row.Tilt);
        }
    }

    std::vector<PointDose> doses(points.size());
    std::size_t next = 0;
    for (std::size_t n = 0; n < points.size(); ++n) {
        const PhantomPoint& p = points[n];
        doses[n].Primary = PrimaryAt(beam, mu, topBin, p);
        doses[n].Scatter = SpectrumScatter(rows[next++], beam.Spectrum, topBin);
        if (around[n].Lower != around[n].Upper) {
            const double lower = SpectrumScatter(rows[next++], beam.Spectrum, topBin);
            doses[n].Scatter = LogBetween(p.Z, RowDepth(around[n].Upper), doses[n].Scatter,
                                          RowDepth(around[n].Lower), lower);
        }
    }
    return doses;
}

// The field is centred on the axis and symmetric about both of its sides, so
// the dose is the same at (+-x, +-y, z): each such set is computed once (a
// map across the axis asks for every point twice).
std::vector<PointDose> PointsWith(const PointBeam& beam, KernelSource& kernels, KernelSource* focus,
                                  std::span<const PhantomPoint> points) {
    CheckPhantomPoints(beam.Conditions, beam.Axis.Rows, points);
    std::map<std::array<double, 3>, std::size_t> index;
    std::vector<PhantomPoint> distinct;
    std::vector<std::size_t> of(points.size());
    for (std::size_t n = 0; n < points.size(); ++n) {
        const PhantomPoint folded{std::fabs(points[n].X), std::fabs(points[n].Y), points[n].Z};
        const auto [at, added] = index.try_emplace({folded.X, folded.Y, folded.Z}, distinct.size());
        if (added)
            distinct.push_back(folded);
        of[n] = at->second;
    }
    const std::vector<PointDose> doses = Computed(beam, kernels, focus, distinct);
    std::vector<PointDose> out(points.size());
    for (std::size_t n = 0; n < points.size(); ++n)
        out[n] = doses[of[n]];
    return out;
}

} // namespace

std::vector<PointDose> DoseAtPoints(const PointBeam& beam, KernelSource& kernels,
                                    std::span<const PhantomPoint> points) {
    return PointsWith(beam, kernels, nullptr, points);
}

std::vector<PointDose> DivergentDoseAtPoints(const PointBeam& beam, KernelSource& divergent,
                                             KernelSource& classic,
                                             std::span<const PhantomPoint> points) {
    return PointsWith(beam, classic, &divergent, points);
}

void CheckPhantomPoints(const IrradiationConditions& conditions, int rows,
                        std::span<const PhantomPoint> points) {
    for (const PhantomPoint& p : points)
        CheckPoint(conditions, rows, p);
}

bool WithinKernelReach(const IrradiationConditions& conditions, int rows, const PhantomPoint& p) {
    if (p.X == 0 && p.Y == 0)
        return true; // the axis, which the depth dose has formed already
    const ProjectedField deeper = Project(conditions, RowDepth(RowsAround(p.Z, rows).Lower));
    return Farthest(deeper, p.X, p.Y) < KernelReach;
}

bool NeedsSurfaceKernels(std::span<const PhantomPoint> points) {
    return std::any_of(points.begin(), points.end(),
                       [](const PhantomPoint& p) { return p.Z < LayerMiddle(1); });
}

double PercentOfFirstLayer(const DepthDoseCalculation& axis, double perFluence) {
    const double D1 = axis.PrimaryDose[1] + axis.ExactScatterDose[1];
    return perFluence / D1 * 100;
}

} // namespace veltrim
