// The placeholders of section 4, the depth dose.
#include "tools/validate/Checks.h"
#include "tools/validate/ReportSections.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace veltrim::validate {
namespace {

// The program's value beside its difference from the direct Monte Carlo.
std::string AgainstDirect(double value, double direct, int decimals) {
    return Fixed(value, decimals) + " (" + Percent(value, direct, 1) + ")";
}

// A direct Monte Carlo value with its 1-sigma in per cent of it.
std::string WithRelativeSigma(double value, double sigma, int decimals) {
    return Fixed(value, decimals) + " +/- " + Fixed(100 * sigma / value, 2) + " %";
}

// One depth of a beam: the direct Monte Carlo, and both scatter models against it.
template <typename Point>
void AddComparedDepth(Rows& rows, const std::string& beam, const Point& p, int decimals) {
    rows.Cell(beam)
        .Cell(Fixed(p.Depth, 2))
        .Cell(WithRelativeSigma(p.Direct, p.DirectSigma, decimals))
        .Cell(AgainstDirect(p.Classic, p.Direct, decimals))
        .Cell(AgainstDirect(p.Divergent, p.Direct, decimals))
        .End();
}

} // namespace

void FillDepthDose(const DepthDoseStudy& f, const HardeningStudy& h, const Report& report,
                   Placeholders& v) {
    Rows rows;
    for (const auto& r : f.Rows) {
        rows.Cell(Label(r.Beam));
        for (std::size_t k = 0; k < r.Pdd.size(); ++k)
            rows.Cell(Fixed(r.Pdd[k], 2) + " +/- " + Fixed(r.Sigma[k], 2));
        rows.Cell(Fixed(r.ScatterToPrimaryRow1, 3)).End();
    }
    v["pdd_rows"] = rows.Text();
    for (const FigureData& file : f.Files)
        report.WriteData(file);
    v["figure_pdd"] = report.Figure(
        "pdd", f.Plot,
        "Total PDD, fields 10x10, 20x20, 30x30 cm at FSD 100 cm (solid) and 60 cm (dashed)");

    Rows hard;
    for (const auto& r : h.Rows) {
        hard.Cell(Fixed(r.Kv, 0)).Cell(Fixed(r.Hvl1, 2)).Cell(Fixed(r.AddedAlMm, 2));
        for (std::size_t k = 0; k < r.Base.size(); ++k)
            hard.Cell(Fixed(r.Base[k], 2))
                .Cell(Fixed(r.Hardened[k], 2))
                .Cell(Percent(r.Hardened[k], r.Base[k], 1));
        hard.End();
    }
    v["hardening_rows"] = hard.Text();
    v["hardening_change_10_low"] = Fixed(100 * h.Change10Low, 1);
    v["hardening_change_10_high"] = Fixed(100 * h.Change10High, 1);
}

void FillSurface(const SurfaceStudy& f, const Report& report, Placeholders& v) {
    v["surface_histories"] = std::to_string(f.Settings.Histories);
    v["surface_seed"] = std::to_string(f.Settings.Seed);
    Rows kernel;
    for (const auto& r : f.KernelRows)
        kernel.Cell(std::to_string(r.EnergyKeV))
            .Cell(Fixed(r.Kernel, 4))
            .Cell(Fixed(r.MonteCarlo, 4))
            .Cell(Fixed(r.Sigma, 4))
            .Cell(Signed(r.Pull, 1))
            .End();
    v["kernel_row1_rows"] = kernel.Text();
    v["worst_pull"] = Fixed(f.WorstPull, 1);
    Rows layers;
    for (const auto& l : f.Layers)
        layers.Cell("0-" + Fixed(l.Depth, 2) + " cm")
            .Cell(Fixed(l.Ratio, 3))
            .Cell(Fixed(l.Sigma, 3))
            .End();
    v["layer_rows"] = layers.Text();
    v["surface_middle_0"] = Fixed(f.Middle0, 3);
    v["surface_middle_1"] = Fixed(f.Middle1, 3);
    Rows rows;
    for (const auto& r : f.Rows) {
        rows.Cell(Fixed(r.Kv, 0))
            .Cell(Fixed(r.Hvl1, 2))
            .Cell(Fixed(r.Side, 0) + "x" + Fixed(r.Side, 0));
        rows.Cell(Fixed(r.BackscatterMinus1, 3)).Cell(Fixed(r.Row1, 3));
        rows.Cell(Fixed(r.Surface, 3) + " (" + Fixed(r.SurfaceSigma, 3) + ")");
        rows.Cell(Percent(r.Surface, r.BackscatterMinus1, 1) + " %").Cell(Fixed(r.Divergent, 3));
        rows.Cell(Percent(r.Divergent, r.BackscatterMinus1, 1) + " %");
        rows.Cell(Fixed(r.Row1OverSurface, 3)).End();
    }
    v["backscatter_rows"] = rows.Text();
    report.WriteData(f.Plot);
    v["figure_backscatter"] = report.Figure(
        "backscatter",
        "set grid\nset xlabel 'tube voltage (kV), 2.5 mm Al'\nset ylabel 'scatter / primary'\n"
        "set key outside right\nplot for [f=0:2] 'backscatter.dat' using 1:(column(2+4*f)) with "
        "linespoints pt 7 lc f+1 title sprintf('B - 1, %d cm', f==0?10:f==1?20:30), "
        "for [f=0:2] 'backscatter.dat' using 1:(column(3+4*f)) with linespoints pt 5 dt 2 lc f+1 "
        "title sprintf('Veltrim row 1, %d cm', f==0?10:f==1?20:30), for [f=0:2] "
        "'backscatter.dat' using 1:(column(4+4*f)) with linespoints pt 9 dt 3 lc f+1 "
        "title sprintf('Veltrim at surface, %d cm', f==0?10:f==1?20:30), for [f=0:2] "
        "'backscatter.dat' using 1:(column(5+4*f)) with points pt 6 lc f+1 "
        "title sprintf('divergent FSD 100, %d cm', f==0?10:f==1?20:30)\n",
        "Scatter-to-primary: published B - 1, Veltrim's row 1, Veltrim converted to the "
        "surface, and the same physics for a divergent beam");
    auto range = [&](const std::string& name, double low, double high) {
        v[name + "_low"] = Signed(100 * (low - 1), 1);
        v[name + "_high"] = Signed(100 * (high - 1), 1);
    };
    range("surface", f.Low, f.High);
    range("surface_total", f.TotalLow, f.TotalHigh);
    range("surface_divergent", f.DivergentLow, f.DivergentHigh);
    range("row1", f.Row1Low, f.Row1High);
    v["row1_low_summary"] = Signed(100 * (f.Row1Low - 1), 0);
    v["row1_high_summary"] = Signed(100 * (f.Row1High - 1), 0);
    v["surface_worst_sigma"] = Fixed(100 * f.WorstRelativeSigma, 1);
    v["surface_verdict"] = f.Low > bounds::SurfaceLow && f.High < bounds::SurfaceHigh
                               ? "agreement within the model's limits"
                               : "FAIL";
}

void FillDivergent(const DivergentStudy& f, Placeholders& v) {
    Rows rows;
    for (const auto& b : f.Beams) {
        if (!b.Ok) {
            rows.Cell(b.Name).Cell("not computed: " + b.Failure).End();
            continue;
        }
        for (const auto& p : b.Points)
            AddComparedDepth(rows, b.Name, p, 3);
        rows.Cell(b.Name)
            .Cell("S/P row 1")
            .Cell(Fixed(b.DirectRatio, 4) + " +/- " + Fixed(b.DirectRatioSigma, 4))
            .Cell(AgainstDirect(b.ClassicRatio, b.DirectRatio, 4))
            .Cell(AgainstDirect(b.DivergentRatio, b.DirectRatio, 4))
            .End();
    }
    v["divergent_rows"] = rows.Text();
    Rows absolute;
    for (const auto& b : f.Beams)
        for (const auto& a : b.Absolutes)
            AddComparedDepth(absolute, b.Name, a, 4);
    v["absolute_rows"] = absolute.Text();
    v["absolute_divergent"] = Fixed(100 * f.WorstAbsolute, 2);
    v["absolute_classic"] = Fixed(100 * f.ClassicAbsolute, 2);
    v["absolute_verdict"] = Verdict(f.WorstAbsolute < bounds::DivergentAbsolute);
    for (const auto& [model, worst] :
         {std::pair{"divergent", f.Divergent}, std::pair{"classic", f.Classic}}) {
        v[std::string(model) + "_shallow"] = Fixed(100 * worst.Shallow, 2);
        v[std::string(model) + "_20"] = Fixed(100 * worst.At20, 2);
        v[std::string(model) + "_ratio"] = Fixed(100 * worst.Ratio, 2);
    }
    v["leave_one_out_row_sum"] = Fixed(100 * f.LeaveOneOutRowSum, 2);
    v["leave_one_out_where"] =
        std::to_string(f.LeaveOneOutEnergy) + " keV, row " + std::to_string(f.LeaveOneOutRow);
    v["leave_one_out_pdd"] = Fixed(100 * f.LeaveOneOutPdd, 3);
    v["divergent_verdict"] =
        Verdict(WithinDepthBounds(f.Divergent) && f.LeaveOneOutRowSum < bounds::LeaveOneOut);
}

void FillThickness(const ThicknessStudy& f, Placeholders& v, const std::string& key) {
    Rows rows;
    for (const auto& b : f.Beams) {
        const std::string name = b.Name;
        if (!b.Ok) {
            rows.Cell(name).Cell("not computed: " + b.Failure).End();
            continue;
        }
        for (const auto& p : b.Points)
            rows.Cell(name)
                .Cell(Fixed(p.Depth, 2))
                .Cell(Fixed(p.Direct, 4) + " +/- " + Fixed(100 * p.DirectSigma / p.Direct, 2) +
                      " %")
                .Cell(Fixed(p.Classic, 4) + " (" + Percent(p.Classic, p.Direct, 1) + ")")
                .Cell(Fixed(p.Divergent, 4) + " (" + Percent(p.Divergent, p.Direct, 1) + ")")
                .Cell(Fixed(p.DirectPdd, 2) + " / " + Fixed(p.DivergentPdd, 2) + " (" +
                      Percent(p.DivergentPdd, p.DirectPdd, 1) + ")")
                .End();
    }
    v[key + "_rows"] = rows.Text();
    v[key + "_body"] = Fixed(100 * f.Body, 2);
    v[key + "_deep"] = f.DeepRows > 0 ? Fixed(100 * f.Deep, 2) + " %" : "(no rows)";
    v[key + "_exit"] = Fixed(100 * f.Exit, 2);
    v[key + "_body_beyond"] = Fixed(100 * f.BodyBeyond, 2);
    v[key + "_deep_beyond"] = f.DeepRows > 0 ? Fixed(100 * f.DeepBeyond, 2) + " %" : "(no rows)";
    v[key + "_exit_beyond"] = Fixed(100 * f.ExitBeyond, 2);
    v[key + "_classic"] = Fixed(100 * f.ClassicBody, 2) + " %, " +
                          (f.DeepRows > 0 ? Fixed(100 * f.ClassicDeep, 2) + " %" : "(no rows)") +
                          " and " + Fixed(100 * f.ClassicExit, 2);
    v[key + "_verdict"] = Verdict(WithinThicknessBounds(f));
}

} // namespace veltrim::validate
