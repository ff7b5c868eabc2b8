#include "dose/AbsoluteDose.h"
#include "tools/validate/DirectRuns.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace veltrim::validate {
namespace {

struct SlabBeam {
    Medium Material;
    const char* Name; // the direct table, without .csv
    double Thickness; // cm
    double Kv;
    int Rectification;
    double FieldX, FieldY, Fsd;
};

constexpr Medium kTissue = Medium::IcruFourComponent, kWater = Medium::Water,
                 kIcru44 = Medium::Icru44, kPmma = Medium::Pmma;

// 12 degrees, 2.5 mm Al inherent, no added filter; the beams of section 4.4
// in slabs of 10, 15 and 20 cm of the four-component tissue, and three of
// them in slabs of each other medium, 80 kV in 25 cm and the others in 15
// cm: 15 cm lies between the exit-ratio sets of 10 and 20 cm, 25 cm between
// 20 and 30 with rows beyond 20 cm.
constexpr SlabBeam kBeams[] = {
    {kTissue, "80kV-30x30-fsd100-t20", 20, 80, 1, 30, 30, 100},
    {kTissue, "120kV-20x20-fsd100-t15", 15, 120, 1, 20, 20, 100},
    {kTissue, "60kV-1ph-10x10-fsd60-t10", 10, 60, 3, 10, 10, 60},
    {kTissue, "100kV-15circle-fsd80-t20", 20, 100, 1, 15, 0, 80},
    {kWater, "water-80kV-30x30-fsd100-t25", 25, 80, 1, 30, 30, 100},
    {kWater, "water-120kV-20x20-fsd100-t25", 25, 120, 1, 20, 20, 100},
    {kWater, "water-120kV-20x20-fsd100-t15", 15, 120, 1, 20, 20, 100},
    {kWater, "water-60kV-1ph-10x10-fsd60-t15", 15, 60, 3, 10, 10, 60},
    {kIcru44, "icru-44-80kV-30x30-fsd100-t25", 25, 80, 1, 30, 30, 100},
    {kIcru44, "icru-44-120kV-20x20-fsd100-t15", 15, 120, 1, 20, 20, 100},
    {kIcru44, "icru-44-60kV-1ph-10x10-fsd60-t15", 15, 60, 3, 10, 10, 60},
    {kPmma, "pmma-80kV-30x30-fsd100-t25", 25, 80, 1, 30, 30, 100},
    {kPmma, "pmma-120kV-20x20-fsd100-t15", 15, 120, 1, 20, 20, 100},
    {kPmma, "pmma-60kV-1ph-10x10-fsd60-t15", 15, 60, 3, 10, 10, 60},
};

struct Computed {
    DosePerAirKerma PerKerma;
    DepthDoseTable Table{};
};

Computed Compute(const Engine& calc, const IrradiationConditions& c, ScatterModel model,
                 double thickness, Medium medium) {
    CalculationOptions options;
    options.Model = model;
    options.PhantomMedium = medium;
    options.ThicknessCm = thickness;
    options.Absolute = true;
    const BeamResult beam = CalculateBeam(c, options, calc.Data());
    return {beam.Absolute->PerKerma, beam.DepthDose->Table};
}

// The rows shown and compared: every 2.5 cm from the first layer, then the
// last four layers.
std::vector<int> RowsOf(double thickness) {
    const int last = static_cast<int>(2 * thickness);
    std::vector<int> rows;
    for (int row = 1; row < last - 3; row += 5)
        rows.push_back(row);
    for (int row = last - 3; row <= last; ++row)
        rows.push_back(row);
    return rows;
}

} // namespace

ThicknessStudy StudyThickness(Engine& calc, const std::filesystem::path& directFolder,
                              Medium medium) {
    ThicknessStudy out;
    out.Material = medium;
    const auto worst = [](double& into, double program, double direct) {
        into = std::max(into, std::fabs(program / direct - 1));
    };
    const auto beyond = [](double& into, double program, double direct, double sigma) {
        into = std::max(into, std::fabs(program / direct - 1) - 2 * sigma / direct);
    };
    for (const SlabBeam& b : kBeams) {
        if (b.Material != medium)
            continue;
        ThicknessStudy::Beam beam;
        beam.Name = b.Name;
        beam.Thickness = b.Thickness;
        IrradiationConditions& c = beam.Conditions;
        c = ReferenceBeam();
        c.TubeVoltage = b.Kv;
        c.Rectification = static_cast<RectificationMethod>(b.Rectification);
        c.FieldX = b.FieldX;
        c.FieldY = b.FieldY;
        c.Fsd = b.Fsd;
        const int last = static_cast<int>(2 * b.Thickness);
        try {
            const DirectBeam run{b.Name, b.Kv, b.Rectification, b.FieldX, b.FieldY, b.Fsd};
            const std::vector<DirectRow> direct = ReadDirectRun(directFolder, run).Rows;
            if (static_cast<int>(direct.size()) != last)
                throw std::runtime_error("the direct table does not end at the exit face");
            const Computed classic = Compute(calc, c, ScatterModel::Classic, b.Thickness, medium);
            const Computed divergent =
                Compute(calc, c, ScatterModel::Divergent, b.Thickness, medium);
            // Both are per unit fluence of the same spectrum at the surface.
            const double kerma = AirKermaPerFluence(calc.Spectrum(c), calc.AirMuEn());
            for (const int row : RowsOf(b.Thickness)) {
                const DirectRow& d = direct[static_cast<std::size_t>(row - 1)];
                const auto r = static_cast<std::size_t>(row);
                const ThicknessStudy::Point p{d.Depth,
                                              (d.Primary + d.Scatter) / kerma,
                                              d.ScatterSigma / kerma,
                                              classic.PerKerma.Total[r],
                                              divergent.PerKerma.Total[r],
                                              d.TotalPdd,
                                              d.TotalPddSigma,
                                              classic.Table[r][TotalPdd],
                                              divergent.Table[r][TotalPdd]};
                beam.Points.push_back(p);
                const bool exit = row > last - 2;
                const bool deep = !exit && d.Depth > 20;
                out.DeepRows += deep ? 1 : 0;
                double& raw = exit ? out.Exit : deep ? out.Deep : out.Body;
                double& past = exit ? out.ExitBeyond : deep ? out.DeepBeyond : out.BodyBeyond;
                double& onClassic = exit   ? out.ClassicExit
                                    : deep ? out.ClassicDeep
                                           : out.ClassicBody;
                worst(raw, p.Divergent, p.Direct);
                worst(raw, p.DivergentPdd, p.DirectPdd);
                beyond(past, p.Divergent, p.Direct, p.DirectSigma);
                beyond(past, p.DivergentPdd, p.DirectPdd, p.DirectPddSigma);
                worst(onClassic, p.Classic, p.Direct);
            }
            beam.Ok = true;
        } catch (const std::exception& e) {
            beam.Failure = e.what();
        }
        out.Beams.push_back(beam);
    }
    return out;
}

} // namespace veltrim::validate
