// Percentage depth dose in ICRU soft tissue: the primary dose of every
// 0.5-keV bin and the scatter dose of rings around the axis at the 5-keV
// kernel nodes, both weighted by the spectrum and normalised to the total dose
// of the first 0.5-cm layer. Every sum runs with the bin, ring and row index
// rising, as the model defines them, so that tables are reproducible to the
// last bit; a failure is detected where it arises, before it can turn into an
// infinity or a not-a-number.
#include "dose/DepthDose.h"

#include "core/CalculationError.h"
#include "dose/OffAxisCoverage.h"
#include "dose/RingCoverage.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace veltrim {
namespace {

using Work = DepthDoseCalculation;

// Primary dose of every row: the photons of each bin that reach the layer
// (inverse square from the focus, attenuation in tissue) times the bin's
// primary-dose factor.
void AddPrimaryDose(Work& w, const EnergyTable& spectrum, const TissueTables& tissue, double fsd,
                    int rows, int topBin) {
    const double fsdSquared = fsd * fsd;
    std::array<double, DepthRowCapacity> focusSquared{}; // (Fsd + z)^2
    for (int d = 1; d <= rows; ++d) {
        const double fromFocus = fsd + LayerMiddle(d);
        focusSquared[d] = fromFocus * fromFocus;
        if (focusSquared[d] == 0)
            FailCalculation(MessageId::CauseLayerAtFocus, {Arg(LayerMiddle(d)), Arg(fsd)});
    }
    for (int i = 21; i <= topBin; ++i) {
        const double mu = TissueAttenuation(tissue.Rows, tissue.RowCount, 0.5 * i);
        for (int d = 1; d <= rows; ++d) {
            const double z = LayerMiddle(d);
            const double weight = spectrum[i] * fsdSquared / focusSquared[d];
            w.PrimaryDose[d] =
                w.PrimaryDose[d] + weight * tissue.PrimaryDose[i] * std::exp(-mu * z);
        }
    }
    for (int d = 1; d <= rows; ++d)
        if (!std::isfinite(w.PrimaryDose[d]))
            FailCalculation(MessageId::CausePrimaryNotFinite, {Arg(LayerMiddle(d))});
}

// What the scatter sum of one row needs, the same for every node energy: the
// inverse-square factor, the rings up to the field corner and the share of
// each ring inside the field.
struct RowGeometry {
    double g = 0.0;
    int rings = 0;
    std::array<double, RingCapacity> share{};
};
using FieldGeometry = std::array<RowGeometry, DepthRowCapacity>;

// The corner of the field must stay inside the 80 rings (40 cm) of the
// kernels down to the deepest layer; the message names the largest square and
// circle at the surface that do, rounded down to 0.1 cm.
[[noreturn]] void FailFieldTooLarge(double z, double R, double fsd, double deepest) {
    const double corner = 40 * fsd / (fsd + deepest); // largest corner distance at the surface
    const auto down = [](double cm) { return std::floor(cm * 10 - 1e-9) / 10; };
    FailCalculation(
        MessageId::CauseFieldTooLarge,
        {Arg(z), Arg(R), Arg(fsd), Arg(down(corner * std::sqrt(2.0))), Arg(down(2 * corner))});
}

std::unique_ptr<FieldGeometry> ProjectField(const Work& w, double fsd, int rows, double pi,
                                            const DepthDoseRules& rules) {
    if (fsd == 0)
        FailCalculation(MessageId::CauseFsdZero);
    // A zero side after ordering is the smaller one of a field typed as a
    // rectangle (a circle is typed with 0 as its second side).
    if (!w.CircularField && w.HalfFieldY == 0)
        FailCalculation(MessageId::CauseFieldSideZero, {Arg(2 * w.HalfFieldX)});
    auto geometry = std::make_unique<FieldGeometry>();
    for (int d = 1; d <= rows; ++d) {
        RowGeometry& row = (*geometry)[d];
        const double z = LayerMiddle(d);
        row.g = fsd * fsd / ((fsd + z) * (fsd + z));
        // The half sides grow with the distance from the focus.
        const double hx = w.HalfFieldX * (fsd + z) / fsd;
        const double hy = w.HalfFieldY * (fsd + z) / fsd;
        if (!std::isfinite(row.g) || !std::isfinite(hx) || !std::isfinite(hy))
            FailCalculation(MessageId::CauseFieldNotProjected, {Arg(z), Arg(fsd)});
        const double R = std::sqrt(hx * hx + hy * hy);
        const double rings = std::floor(2 * R) + 1; // up to the ring that holds the corner
        if (!(rings <= RingCapacity - 1))
            FailFieldTooLarge(z, R, fsd, LayerMiddle(rows));
        row.rings = static_cast<int>(rings);
        if (w.CircularField && !rules.CircleRingsWhole) {
            OffCentreShares(row.rings, 0.0, 0.0, hx, hy, true, row.share.data());
            continue;
        }
        for (int r = 1; r <= row.rings; ++r) {
            if (w.CircularField) {
                row.share[r] = 1.0; // a circle counts its rings whole
                continue;
            }
            const std::optional<double> share = RingCoverage(r, hx, hy, pi, rules.CornerAddedBack);
            if (!share)
                FailCalculation(MessageId::CauseRingShare,
                                {Arg(r), Arg(2 * hx), Arg(2 * hy), Arg(z)});
            row.share[r] = *share;
        }
    }
    return geometry;
}

// Scatter per unit spectrum weight at the node bin n: the kernel's rings
// weighted by the inverse square and their share inside the field; number
// (a, c) of the kernel is the scatter that ring c gives the axis at row a.
void AddNodeScatter(Work& w, const ScatterKernelTable& kernel, int n, int rows,
                    const FieldGeometry& geometry) {
    for (int d = 1; d <= rows; ++d) {
        const RowGeometry& row = geometry[d];
        double sum = w.ScatterByEnergy[n][d];
        for (int r = 1; r <= row.rings; ++r)
            sum = sum + kernel[r][d] * row.g * row.share[r];
        if (!std::isfinite(sum))
            FailCalculation(MessageId::CauseNodeScatterNotFinite,
                            {Arg(n / 2), Arg(LayerMiddle(d))});
        w.ScatterByEnergy[n][d] = sum;
    }
}

// Scatter of the bins between the nodes: linear in energy and in the logarithm
// of the value where both nodes are positive; linear in the value where one is
// zero, so that a node without scatter gives none to its neighbours.
void InterpolateBetweenNodes(Work& w, int rows, int topBin, const DepthDoseRules& rules) {
    for (int i = 21; i <= topBin; ++i) {
        if (i % 10 == 0)
            continue;
        const double E = 0.5 * i;
        int j = 20;
        while (E >= 0.5 * j)
            j += 10;
        const double toUpper = 0.5 * j - E; // keV up to the node above
        auto& upper = w.ScatterByEnergy[j];
        auto& lower = w.ScatterByEnergy[j - 10];
        for (int d = 1; d <= rows; ++d) {
            if (!rules.LinearAtZeroNodes) {
                if (upper[d] == 0)
                    upper[d] = 1.0;
                if (lower[d] == 0)
                    lower[d] = 1.0;
            }
            const double H = upper[d];
            const double L = lower[d];
            if (H < 0 || L < 0)
                FailCalculation(MessageId::CauseNodeScatterNegative,
                                {Arg((H < 0 ? j : j - 10) / 2), Arg(LayerMiddle(d))});
            if (H > 0 && L > 0)
                w.ScatterByEnergy[i][d] =
                    std::exp(std::log(H) - (std::log(H) - std::log(L)) * toUpper / 5);
            else
                w.ScatterByEnergy[i][d] = H - (H - L) * toUpper / 5;
        }
    }
}

void AddScatterDose(Work& w, const EnergyTable& spectrum, int rows, int topBin) {
    for (int i = 21; i <= topBin; ++i)
        for (int d = 1; d <= rows; ++d)
            w.ScatterDose[d] = w.ScatterDose[d] + w.ScatterByEnergy[i][d] * spectrum[i];
    for (int d = 1; d <= rows; ++d)
        if (!std::isfinite(w.ScatterDose[d]))
            FailCalculation(MessageId::CauseScatterNotFinite, {Arg(LayerMiddle(d))});
}

} // namespace

FieldHalfSides HalveField(const IrradiationConditions& conditions) {
    // The circle is recognised on the side as typed, before the sides are ordered.
    FieldHalfSides field;
    field.Circle = conditions.FieldY == 0;
    double x = conditions.FieldX;
    double y = conditions.FieldY;
    if (x < y)
        std::swap(x, y);
    field.X = 0.5 * x;
    field.Y = 0.5 * y;
    return field;
}

double DepthRowCount(double maxDepth) {
    const double rowCount = std::floor(2 * maxDepth - 0.1) + 1;
    return rowCount > 80 ? 80 : rowCount;
}

DepthDoseCalculation CalculateDepthDose(const EnergyTable& spectrum, const TissueTables& tissue,
                                        KernelSource& kernels,
                                        const IrradiationConditions& conditions, double maxDepth,
                                        double pi, const DepthDoseRules& rules) {
    DepthDoseCalculation w;
    const double rowCount = DepthRowCount(maxDepth);
    if (!(rowCount >= 1))
        FailCalculation(MessageId::CauseNoLayer, {Arg(maxDepth)});
    const int rows = static_cast<int>(rowCount);

    const FieldHalfSides field = HalveField(conditions);
    w.CircularField = field.Circle;
    w.HalfFieldX = field.X;
    w.HalfFieldY = field.Y;

    const double V = conditions.TubeVoltage;
    if (!(V >= MinTubeVoltage && V <= MaxTubeVoltage))
        FailCalculation(MessageId::CauseVoltageOutOfRange, {Arg(V)});
    const int topBin = static_cast<int>(std::floor(2 * V));

    AddPrimaryDose(w, spectrum, tissue, conditions.Fsd, rows, topBin);

    const std::unique_ptr<FieldGeometry> geometry =
        ProjectField(w, conditions.Fsd, rows, pi, rules);
    // All 29 kernels are read whatever the tube voltage: the bins below it
    // are interpolated between the nodes around them.
    for (int n = 20; n <= 300; n += 10)
        AddNodeScatter(w, kernels.Kernel(n / 2), n, rows, *geometry);
    InterpolateBetweenNodes(w, rows, topBin, rules);
    AddScatterDose(w, spectrum, rows, topBin);

    // Normalised to the first layer, not to the maximum of the curve.
    const double D1 = w.PrimaryDose[1] + w.ScatterDose[1];
    if (D1 == 0)
        FailCalculation(MessageId::CauseFirstLayerZero);
    for (int d = 1; d <= rows; ++d) {
        auto& row = w.Table[d];
        row[PrimaryPdd] = w.PrimaryDose[d] / D1 * 100;
        row[ScatterPdd] = w.ScatterDose[d] / D1 * 100;
        row[TotalPdd] = (w.PrimaryDose[d] + w.ScatterDose[d]) / D1 * 100;
        if (!std::isfinite(row[PrimaryPdd]) || !std::isfinite(row[ScatterPdd]) ||
            !std::isfinite(row[TotalPdd]))
            FailCalculation(MessageId::CausePddNotFinite, {Arg(LayerMiddle(d))});
    }
    w.Rows = rows;
    w.ExactScatterDose = w.ScatterDose;
    if (w.CircularField && rules.CircleRingsWhole) {
        DepthDoseRules exact = rules;
        exact.CircleRingsWhole = false;
        w.ExactScatterDose =
            std::make_unique<DepthDoseCalculation>(
                CalculateDepthDose(spectrum, tissue, kernels, conditions, maxDepth, pi, exact))
                ->ScatterDose;
    }
    return w;
}

} // namespace veltrim
