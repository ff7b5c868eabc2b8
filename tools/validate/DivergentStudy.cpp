#include "dose/AbsoluteDose.h"
#include "dose/FocusKernels.h"
#include "tools/validate/DirectRuns.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace veltrim::validate {
namespace {

constexpr double kDepths[] = {1.25, 2.25, 5.25, 10.25, 15.25, 20.25};
constexpr double kAbsoluteDepths[] = {0.25, 1.25, 2.25, 5.25, 10.25, 15.25, 20.25};

// The dose per unit incident air kerma of the program and of the direct run
// at the report's depths. Both are per unit fluence of the same spectrum at
// the surface, so the air kerma per fluence is the program's for both.
void CompareAbsolute(const Engine& calc, const std::vector<DirectRow>& direct,
                     const DepthDose& classic, const DepthDose& divergent,
                     DivergentStudy::Beam& beam, DivergentStudy& out) {
    const double kerma = AirKermaPerFluence(calc.Spectrum(beam.Conditions), calc.AirMuEn());
    for (const double z : kAbsoluteDepths) {
        const int row = static_cast<int>(z / 0.5) + 1;
        const DirectRow& d = direct[static_cast<std::size_t>(row - 1)];
        const DivergentStudy::Absolute a{
            z, (d.Primary + d.Scatter) / kerma, d.ScatterSigma / kerma,
            (classic.PrimaryDose[row] + classic.ScatterDose[row]) / kerma,
            (divergent.PrimaryDose[row] + divergent.ScatterDose[row]) / kerma};
        beam.Absolutes.push_back(a);
        out.WorstAbsolute = std::max(out.WorstAbsolute, std::fabs(a.Divergent / a.Direct - 1));
        out.ClassicAbsolute = std::max(out.ClassicAbsolute, std::fabs(a.Classic / a.Direct - 1));
    }
}

double ScatterToPrimary(const DepthDose& d) {
    return d.ScatterDose[1] / d.PrimaryDose[1];
}

// The largest |relative difference| of the total PDD, rows 1-41 (to 20.5 cm).
double WorstPddDifference(const DepthDose& a, const DepthDose& b) {
    double worst = 0;
    for (int r = 1; r <= 41; ++r)
        worst = std::max(worst, std::fabs(a.Total[r] / b.Total[r] - 1));
    return worst;
}

void StudyLeaveOneOut(const Engine& calc, DivergentStudy& out) {
    const std::array<double, 2> outer{50, 75};
    const double left = 60;
    const double nearWeight = BracketFsd(outer, left)->NearWeight;
    const auto near = ReadKernelSet(calc.DataFolder(), FocusSetFolder(outer[0]));
    const auto far = ReadKernelSet(calc.DataFolder(), FocusSetFolder(outer[1]));
    const auto computed = ReadKernelSet(calc.DataFolder(), FocusSetFolder(left));
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5) {
        const ScatterKernelTable& n = near->Kernel(e);
        const ScatterKernelTable& f = far->Kernel(e);
        const ScatterKernelTable& c = computed->Kernel(e);
        const auto sum = [](const ScatterKernelTable& k, int row) {
            double s = 0;
            for (int ring = 1; ring <= 80; ++ring)
                s += k[ring][row];
            return s;
        };
        const double first = sum(c, 1);
        for (int row = 1; row <= 60; ++row) {
            const double value = sum(c, row);
            if (!(value > 1e-3 * first))
                continue;
            const double mixed = nearWeight * sum(n, row) + (1 - nearWeight) * sum(f, row);
            const double difference = std::fabs(mixed / value - 1);
            if (difference > out.LeaveOneOutRowSum) {
                out.LeaveOneOutRowSum = difference;
                out.LeaveOneOutEnergy = e;
                out.LeaveOneOutRow = row;
            }
        }
    }
    // The PDD of beams at the left-out FSD, from the set and from the interpolation.
    for (const auto& [kv, side] : {std::pair{60.0, 10.0}, std::pair{80.0, 30.0}}) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = kv;
        beam.FieldX = beam.FieldY = side;
        beam.Fsd = left;
        KernelSetSource nearSource(*near), farSource(*far), leftSource(*computed);
        InterpolatedKernelSource mixed(nearSource, farSource, nearWeight);
        const DepthDose fromSet = calc.Compute(beam, {}, &leftSource);
        const DepthDose fromMix = calc.Compute(beam, {}, &mixed);
        if (!fromSet.Ok || !fromMix.Ok)
            throw std::runtime_error(
                "the left-out set's beam cannot be computed: " + fromSet.Failure + fromMix.Failure);
        out.LeaveOneOutPdd = std::max(out.LeaveOneOutPdd, WorstPddDifference(fromMix, fromSet));
    }
}

} // namespace

DivergentStudy StudyDivergent(Engine& calc, const std::filesystem::path& directFolder) {
    DivergentStudy out;
    for (const DirectBeam& b : DirectBeams) {
        DivergentStudy::Beam beam;
        beam.Name = b.Name;
        const IrradiationConditions c = ConditionsOf(b);
        beam.Conditions = c;
        const std::vector<DirectRow> direct = ReadDirectRun(directFolder, b).Rows;
        const DepthDose classic = calc.Library(c, ScatterModel::Classic);
        const DepthDose divergent = calc.Library(c, ScatterModel::Divergent);
        beam.Ok = classic.Ok && divergent.Ok && direct.size() >= 41;
        if (!beam.Ok) {
            beam.Failure = !classic.Ok     ? classic.Failure
                           : !divergent.Ok ? divergent.Failure
                                           : "the direct table is short";
            out.Beams.push_back(beam);
            continue;
        }
        for (const double z : kDepths) {
            const int row = static_cast<int>(z / 0.5) + 1;
            const DirectRow& d = direct[static_cast<std::size_t>(row - 1)];
            beam.Points.push_back(
                {z, d.TotalPdd, d.TotalPddSigma, classic.Total[row], divergent.Total[row]});
            const double shallow = z <= 10.25 ? 1.0 : 0.0;
            const double onDivergent = std::fabs(divergent.Total[row] / d.TotalPdd - 1);
            const double onClassic = std::fabs(classic.Total[row] / d.TotalPdd - 1);
            if (shallow > 0) {
                out.Divergent.Shallow = std::max(out.Divergent.Shallow, onDivergent);
                out.Classic.Shallow = std::max(out.Classic.Shallow, onClassic);
            } else if (z == 20.25) {
                out.Divergent.At20 = std::max(out.Divergent.At20, onDivergent);
                out.Classic.At20 = std::max(out.Classic.At20, onClassic);
            }
        }
        CompareAbsolute(calc, direct, classic, divergent, beam, out);
        const DirectRow& first = direct.front();
        beam.DirectRatio = first.Scatter / first.Primary;
        beam.DirectRatioSigma = first.ScatterSigma / first.Primary;
        beam.ClassicRatio = ScatterToPrimary(classic);
        beam.DivergentRatio = ScatterToPrimary(divergent);
        out.Divergent.Ratio =
            std::max(out.Divergent.Ratio, std::fabs(beam.DivergentRatio / beam.DirectRatio - 1));
        out.Classic.Ratio =
            std::max(out.Classic.Ratio, std::fabs(beam.ClassicRatio / beam.DirectRatio - 1));
        out.Beams.push_back(beam);
    }
    StudyLeaveOneOut(calc, out);
    return out;
}

} // namespace veltrim::validate
