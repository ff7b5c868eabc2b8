// Percentage depth dose in ICRU soft tissue: the primary dose of every
// 0.5-keV bin and the scatter dose of rings around the axis at the 5-keV
// kernel nodes, both weighted by the spectrum and normalised to the total dose
// of the first 0.5-cm layer. Every sum runs with the bin, ring and row index
// rising, as the model defines them, so that tables are reproducible to the
// last bit; a failure is detected where it arises, before it can turn into an
// infinity or a not-a-number, and nothing reaches DepthDoseResult unless the
// whole table could be formed.
#include "dose/DepthDose.h"

#include "app/DataFile.h"
#include "app/SharedState.h"
#include "dose/PreloadedData.h"
#include "dose/RingCoverage.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrim {
namespace {

// Why the table cannot be formed, carried to ComputeDepthDose.
class Failure : public std::runtime_error {
  public:
    explicit Failure(Message cause)
        : std::runtime_error(cause.In(Language::English)), Cause(std::move(cause)) {}
    Message Cause;
};

[[noreturn]] void Fail(MessageId id, std::vector<Message::Argument> arguments = {}) {
    throw Failure(Message(id, std::move(arguments)));
}

// Middle of the 0.5-cm layer of row d, cm.
double LayerMiddle(int d) {
    return 0.5 * d - 0.25;
}

// Logarithm of a tabulated value that the log-log interpolation needs positive.
double TissueLog(double value, int row) {
    if (!(value > 0))
        Fail(MessageId::CauseTissueNotPositive, {Arg(row), Arg(value)});
    return std::log(value);
}

// A partial attenuation coefficient interpolated linearly in log-log at the
// fraction t of the log-energy interval.
double LogLogInterpolate(double low, double high, double t, int row) {
    const double lnLow = TissueLog(low, row - 1);
    const double lnHigh = TissueLog(high, row);
    return std::exp(lnLow + t * (lnHigh - lnLow));
}

// Total linear attenuation coefficient (1/cm) of soft tissue at E keV, from the
// two rows of the tissue table around E.
double TissueAttenuation(const SharedState& s, double E) {
    int k = 2;
    while (k <= s.TissueRowCount && E >= s.TissueTable[k].EnergyKeV)
        ++k;
    if (k > s.TissueRowCount)
        Fail(MessageId::CauseTissueAboveTable, {Arg(E)});
    const TissueRow& low = s.TissueTable[k - 1];
    const TissueRow& high = s.TissueTable[k];
    const double lnLow = TissueLog(low.EnergyKeV, k - 1);
    const double lnHigh = TissueLog(high.EnergyKeV, k);
    const double span = lnHigh - lnLow;
    if (span == 0)
        Fail(MessageId::CauseTissueSameEnergy, {Arg(k - 1), Arg(k), Arg(high.EnergyKeV)});
    const double t = (std::log(E) - lnLow) / span;
    const double mu = LogLogInterpolate(low.MuPart1, high.MuPart1, t, k) +
                      LogLogInterpolate(low.MuPart2, high.MuPart2, t, k) +
                      LogLogInterpolate(low.MuPart3, high.MuPart3, t, k);
    if (!std::isfinite(mu))
        Fail(MessageId::CauseTissueNotFinite, {Arg(E)});
    return mu;
}

// Primary dose of every row: the photons of each bin that reach the layer
// (inverse square from the focus, attenuation in tissue) times the bin's
// primary-dose factor.
void AddPrimaryDose(SharedState& s, int rows, int topBin) {
    const double fsd = s.Conditions.Fsd;
    const double fsdSquared = fsd * fsd;
    std::array<double, DepthRowCapacity> focusSquared{}; // (Fsd + z)^2
    for (int d = 1; d <= rows; ++d) {
        const double fromFocus = fsd + LayerMiddle(d);
        focusSquared[d] = fromFocus * fromFocus;
        if (focusSquared[d] == 0)
            Fail(MessageId::CauseLayerAtFocus, {Arg(LayerMiddle(d)), Arg(fsd)});
    }
    for (int i = 21; i <= topBin; ++i) {
        const double mu = TissueAttenuation(s, 0.5 * i);
        for (int d = 1; d <= rows; ++d) {
            const double z = LayerMiddle(d);
            const double w = s.Spectrum[i] * fsdSquared / focusSquared[d];
            s.PrimaryDose[d] = s.PrimaryDose[d] + w * s.PrimaryDoseTable[i] * std::exp(-mu * z);
        }
    }
    for (int d = 1; d <= rows; ++d)
        if (!std::isfinite(s.PrimaryDose[d]))
            Fail(MessageId::CausePrimaryNotFinite, {Arg(LayerMiddle(d))});
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
    Fail(MessageId::CauseFieldTooLarge,
         {Arg(z), Arg(R), Arg(fsd), Arg(down(corner * std::sqrt(2.0))), Arg(down(2 * corner))});
}

std::unique_ptr<FieldGeometry> ProjectField(const SharedState& s, int rows) {
    const IrradiationConditions& c = s.Conditions;
    const double fsd = c.Fsd;
    if (fsd == 0)
        Fail(MessageId::CauseFsdZero);
    // A zero side after ordering is the smaller one of a field typed as a
    // rectangle (a circle is typed with 0 as its second side).
    if (!s.CircularField && c.FieldY == 0)
        Fail(MessageId::CauseFieldSideZero, {Arg(2 * c.FieldX)});
    auto geometry = std::make_unique<FieldGeometry>();
    for (int d = 1; d <= rows; ++d) {
        RowGeometry& row = (*geometry)[d];
        const double z = LayerMiddle(d);
        row.g = fsd * fsd / ((fsd + z) * (fsd + z));
        // The half sides grow with the distance from the focus.
        const double hx = c.FieldX * (fsd + z) / fsd;
        const double hy = c.FieldY * (fsd + z) / fsd;
        if (!std::isfinite(row.g) || !std::isfinite(hx) || !std::isfinite(hy))
            Fail(MessageId::CauseFieldNotProjected, {Arg(z), Arg(fsd)});
        const double R = std::sqrt(hx * hx + hy * hy);
        const double rings = std::floor(2 * R) + 1; // up to the ring that holds the corner
        if (!(rings <= RingCapacity - 1))
            FailFieldTooLarge(z, R, fsd, LayerMiddle(rows));
        row.rings = static_cast<int>(rings);
        for (int r = 1; r <= row.rings; ++r) {
            if (s.CircularField) {
                row.share[r] = 1.0; // a circle counts its rings whole
                continue;
            }
            const std::optional<double> share = RingCoverage(r, hx, hy, s.Pi);
            if (!share)
                Fail(MessageId::CauseRingShare, {Arg(r), Arg(2 * hx), Arg(2 * hy), Arg(z)});
            row.share[r] = *share;
        }
    }
    return geometry;
}

// Reads the kernel of one node energy into the work table; number (a, c) is
// the scatter that ring c gives the axis at depth row a.
void ReadKernel(SharedState& s, int energyKeV) {
    if (s.Preloaded) {
        s.ScatterKernel = s.Preloaded->Kernel(energyKeV);
        return;
    }
    NumberFile file(s.DataFolder / KernelFolder / KernelFile(energyKeV));
    ReadKernelFile(file, s.ScatterKernel);
}

// Scatter per unit spectrum weight at the node bin n: the kernel's rings
// weighted by the inverse square and their share inside the field.
void AddNodeScatter(SharedState& s, int n, int rows, const FieldGeometry& geometry) {
    for (int d = 1; d <= rows; ++d) {
        const RowGeometry& row = geometry[d];
        double sum = s.ScatterByEnergy[n][d];
        for (int r = 1; r <= row.rings; ++r)
            sum = sum + s.ScatterKernel[r][d] * row.g * row.share[r];
        if (!std::isfinite(sum))
            Fail(MessageId::CauseNodeScatterNotFinite, {Arg(n / 2), Arg(LayerMiddle(d))});
        s.ScatterByEnergy[n][d] = sum;
    }
}

// Scatter of the bins between the nodes: linear in energy and in the logarithm
// of the value where both nodes are positive; linear in the value where one is
// zero, so that a node without scatter gives none to its neighbours.
void InterpolateBetweenNodes(SharedState& s, int rows, int topBin) {
    for (int i = 21; i <= topBin; ++i) {
        if (i % 10 == 0)
            continue;
        const double E = 0.5 * i;
        int j = 20;
        while (E >= 0.5 * j)
            j += 10;
        const double toUpper = 0.5 * j - E; // keV up to the node above
        const auto& upper = s.ScatterByEnergy[j];
        const auto& lower = s.ScatterByEnergy[j - 10];
        for (int d = 1; d <= rows; ++d) {
            const double H = upper[d];
            const double L = lower[d];
            if (H < 0 || L < 0)
                Fail(MessageId::CauseNodeScatterNegative,
                     {Arg((H < 0 ? j : j - 10) / 2), Arg(LayerMiddle(d))});
            if (H > 0 && L > 0)
                s.ScatterByEnergy[i][d] =
                    std::exp(std::log(H) - (std::log(H) - std::log(L)) * toUpper / 5);
            else
                s.ScatterByEnergy[i][d] = H - (H - L) * toUpper / 5;
        }
    }
}

void AddScatterDose(SharedState& s, int rows, int topBin) {
    for (int i = 21; i <= topBin; ++i)
        for (int d = 1; d <= rows; ++d)
            s.ScatterDose[d] = s.ScatterDose[d] + s.ScatterByEnergy[i][d] * s.Spectrum[i];
    for (int d = 1; d <= rows; ++d)
        if (!std::isfinite(s.ScatterDose[d]))
            Fail(MessageId::CauseScatterNotFinite, {Arg(LayerMiddle(d))});
}

// Steps up to the published table; the results file is written by the caller.
void ComputeTable(SharedState& s) {
    if (!s.TissueTablesLoaded)
        Fail(MessageId::CauseTissueNotLoaded);

    s.PrimaryDose.fill(0.0);
    s.ScatterDose.fill(0.0);
    for (auto& bin : s.ScatterByEnergy)
        bin.fill(0.0);

    const double rowCount = std::floor(2 * s.MaxDepth - 0.1) + 1;
    if (!(rowCount >= 1))
        Fail(MessageId::CauseNoLayer, {Arg(s.MaxDepth)});
    const int rows = rowCount > 80 ? 80 : static_cast<int>(rowCount);

    // The circle is recognised on the side as typed, before the sides are
    // ordered; from here on the record holds half sides, the larger in FieldX.
    IrradiationConditions& c = s.Conditions;
    s.CircularField = c.FieldY == 0;
    if (c.FieldX < c.FieldY)
        std::swap(c.FieldX, c.FieldY);
    c.FieldX = 0.5 * c.FieldX;
    c.FieldY = 0.5 * c.FieldY;

    if (!(c.TubeVoltage >= MinTubeVoltage && c.TubeVoltage <= MaxTubeVoltage))
        Fail(MessageId::CauseVoltageOutOfRange, {Arg(c.TubeVoltage)});
    const int topBin = static_cast<int>(std::floor(2 * c.TubeVoltage));

    AddPrimaryDose(s, rows, topBin);

    const std::unique_ptr<FieldGeometry> geometry = ProjectField(s, rows);
    // All 29 kernels are read whatever the tube voltage: the bins below it
    // are interpolated between the nodes around them.
    for (int n = 20; n <= 300; n += 10) {
        ReadKernel(s, n / 2);
        AddNodeScatter(s, n, rows, *geometry);
    }
    InterpolateBetweenNodes(s, rows, topBin);
    AddScatterDose(s, rows, topBin);

    // Normalised to the first layer, not to the maximum of the curve.
    const double D1 = s.PrimaryDose[1] + s.ScatterDose[1];
    if (D1 == 0)
        Fail(MessageId::CauseFirstLayerZero);

    DepthDoseTable result = s.DepthDoseResult;
    for (int d = 1; d <= rows; ++d) {
        auto& row = result[d];
        row[PrimaryPdd] = s.PrimaryDose[d] / D1 * 100;
        row[ScatterPdd] = s.ScatterDose[d] / D1 * 100;
        row[TotalPdd] = (s.PrimaryDose[d] + s.ScatterDose[d]) / D1 * 100;
        if (!std::isfinite(row[PrimaryPdd]) || !std::isfinite(row[ScatterPdd]) ||
            !std::isfinite(row[TotalPdd]))
            Fail(MessageId::CausePddNotFinite, {Arg(LayerMiddle(d))});
    }
    s.DepthDoseResult = result;
    s.DepthRowCount = rows;
}

} // namespace

std::filesystem::path KernelFile(int energyKeV) {
    return std::to_string(energyKeV) + ".dat";
}

void ReadKernelFile(NumberFile& file, ScatterKernelTable& kernel) {
    for (int a = 1; a <= 80; ++a)
        for (int c = 1; c <= 80; ++c)
            kernel[c][a] = file.Next();
}

void SharedState::ReportDepthDoseFailure(const Message& cause) {
    DepthDoseFailureCause = cause.In(Edition);
    Messages.Show(DepthDoseFailureText(Edition, cause));
}

bool SharedState::ComputeDepthDose() {
    DepthDoseFailureCause.clear();
    const DepthDoseTable previous = DepthDoseResult;
    const int previousRows = DepthRowCount;
    try {
        ComputeTable(*this);
    } catch (const Failure& e) {
        ReportDepthDoseFailure(e.Cause);
        return false;
    } catch (const DataFileError& e) {
        ReportDepthDoseFailure(Message(MessageId::CauseKernelFile, {Arg(e.Problem())}));
        return false;
    } catch (const std::exception& e) {
        // Anything else the library throws: the same message, and the window goes on.
        ReportDepthDoseFailure(Message(MessageId::CauseUnexpected, {Arg(e.what())}));
        return false;
    }
    if (WriteResultsFile())
        return true;
    // A table whose results file could not be written is taken back: the
    // graph would show it while the file, and every CSV saved from it, still
    // held the previous calculation.
    DepthDoseResult = previous;
    DepthRowCount = previousRows;
    return false;
}

} // namespace veltrim
