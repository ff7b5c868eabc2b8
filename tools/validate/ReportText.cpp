// The values of the report's placeholders, formed from the studies' findings.
#include "tools/validate/ReportText.h"

#include "tools/validate/ReportSections.h"
#include "tools/validate/Template.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace veltrim::validate {
namespace {

// A figure in the text, and rounded further in the summary (`key`_summary).
void FixedWithSummary(Placeholders& v, const std::string& key, double value, int decimals,
                      int summaryDecimals) {
    v[key] = Fixed(value, decimals);
    v[key + "_summary"] = Fixed(value, summaryDecimals);
}

void FillData(const DataStudy& f, const Report& report, Placeholders& v) {
    Rows rows;
    for (const auto& r : f.Rows) {
        rows.Cell(Fixed(r.EnergyKeV, 0)).Cell(Signed(r.TissueMu, 3)).Cell(Signed(r.TissueMuEn, 3));
        rows.Cell(Signed(r.AirMuEn, 3)).Cell(Signed(r.Tungsten, 2)).Cell(Signed(r.Aluminium, 2));
        rows.Cell(Signed(r.Copper, 2)).End();
    }
    v["data_rows"] = rows.Text();
    const double interpolation = std::fabs(f.WorstInterpolation);
    const bool ok = f.WorstTissueMu < bounds::TissueMu && f.WorstTissueMuEn < bounds::TissueMuEn &&
                    f.WorstAirMuEn < bounds::AirMuEn && f.WorstMetal < bounds::Metals &&
                    interpolation < bounds::TissueInterpolation;
    v["data_verdict"] = Verdict(ok);
    v["data_worst_nist"] =
        Fixed(std::max({f.WorstTissueMu, f.WorstTissueMuEn, f.WorstAirMuEn, f.WorstMetal}), 2);
    v["tissue_interpolation_summary"] = Fixed(interpolation, 3);
    v["tissue_interpolation_abs"] = Fixed(interpolation, 4);
    v["tissue_interpolation"] = Signed(f.WorstInterpolation, 4);
    v["tissue_interpolation_at"] = Fixed(f.WorstInterpolationAt, 1);
    v["worst_tissue_mu"] = Fixed(f.WorstTissueMu, 3);
    v["worst_tissue_mu_en"] = Fixed(f.WorstTissueMuEn, 3);
    v["worst_air_mu_en"] = Fixed(f.WorstAirMuEn, 3);
    v["worst_metal"] = Fixed(f.WorstMetal, 2);
    report.WriteData(f.Interpolation);
    v["figure_tissue_interpolation"] = report.Figure(
        "tissue-interpolation",
        "set xlabel 'photon energy (keV)'\nset ylabel 'interpolated / xraylib - 1 (%)'\n"
        "set grid\nplot 'tissue-interpolation.dat' using 1:2 with linespoints pt 7 ps 0.4 "
        "title 'ICRUSoft.dat, log-log between rows'\n",
        "Tissue attenuation as the program interpolates it, against xraylib, 10.5-150 keV");
}

void FillSpectra(const SpectraStudy& f, const Report& report, Placeholders& v) {
    Rows shapes;
    for (const auto& s : f.Shapes) {
        const BeamQuality& q = s.Quality;
        shapes.Cell(std::to_string(s.Kv)).Cell(RectificationName(s.Rectification));
        shapes.Cell(Fixed(q.MeanEnergyKeV, 2))
            .Cell(Fixed(q.Hvl1MmAl, 2))
            .Cell(Fixed(q.Hvl2MmAl, 2));
        shapes.Cell(Fixed(q.Hvl1MmAl / q.Hvl2MmAl, 3)).End();
    }
    v["spectrum_rows"] = shapes.Text();
    for (const FigureData& file : f.SpectrumFiles)
        report.WriteData(file);
    v["figure_spectra"] =
        report.Figure("spectra", f.SpectrumPlot,
                      "Spectra at 50, 80 and 120 kV, 2.5 mm Al, 12 degrees, three rectifications");

    Rows ptb;
    for (const auto& [ref, bare, air] : f.Ptb) {
        ptb.Cell(ref.Quality).Cell(Fixed(ref.Kv, 0)).Cell(Fixed(ref.Hvl1, 2));
        ptb.Cell(Fixed(bare.Hvl1MmAl, 2)).Cell(Percent(bare.Hvl1MmAl, ref.Hvl1, 1));
        ptb.Cell(Fixed(air.Hvl1MmAl, 2)).Cell(Percent(air.Hvl1MmAl, ref.Hvl1, 1));
        ptb.Cell(Fixed(ref.Hvl2, 2)).Cell(Fixed(bare.Hvl2MmAl, 2));
        ptb.Cell(Percent(bare.Hvl2MmAl, ref.Hvl2, 1)).Cell(Fixed(air.Hvl2MmAl, 2));
        ptb.Cell(Percent(air.Hvl2MmAl, ref.Hvl2, 1)).End();
    }
    v["ptb_rows"] = ptb.Text();
    Rows enea;
    for (const auto& [ref, q] : f.Enea) {
        enea.Cell(ref.Quality).Cell(Fixed(ref.Kv, 0)).Cell(Fixed(ref.TotalAlMm, 2));
        enea.Cell(Fixed(ref.ReferenceHvl1, 2)).Cell(Fixed(ref.SpekCalcHvl1, 2));
        enea.Cell(Fixed(q.Hvl1MmAl, 2)).Cell(Percent(q.Hvl1MmAl, ref.ReferenceHvl1, 1));
        enea.Cell(Percent(q.Hvl1MmAl, ref.SpekCalcHvl1, 1)).Cell(Fixed(ref.SpekCalcHvl2, 2));
        enea.Cell(Fixed(q.Hvl2MmAl, 2)).Cell(Percent(q.Hvl2MmAl, ref.SpekCalcHvl2, 1));
        enea.Cell(Fixed(ref.SpekCalcMeanKeV, 1)).Cell(Fixed(q.MeanEnergyKeV, 1));
        enea.Cell(Percent(q.MeanEnergyKeV, ref.SpekCalcMeanKeV, 1)).End();
    }
    v["enea_rows"] = enea.Text();
    auto models = [](const std::vector<SpectraStudy::ModelRow>& rows) {
        Rows out;
        for (const auto& m : rows)
            out.Cell(Fixed(m.Kv, 0))
                .Cell(Fixed(m.ModelHvl1, 2))
                .Cell(Fixed(m.Quality.Hvl1MmAl, 2))
                .Cell(Percent(m.Quality.Hvl1MmAl, m.ModelHvl1, 1))
                .End();
        return out.Text();
    };
    v["hernandez_fernandez_rows"] = models(f.HernandezFernandez);
    v["benmakhlouf_rows"] = models(f.Benmakhlouf);

    v["hvl1_80_12deg"] = Fixed(f.At12.Hvl1MmAl, 3);
    v["hvl1_80_12deg_air"] = Fixed(f.At12Air.Hvl1MmAl, 3);
    v["hvl1_80_12deg_be"] = Fixed(f.At12Be.Hvl1MmAl, 3);
    v["hvl1_80_20deg"] = Fixed(f.At20.Hvl1MmAl, 3);
    FixedWithSummary(v, "ptb_hvl1_deficit_40", -f.PtbHvl1At40, 1, 0);
    FixedWithSummary(v, "ptb_hvl1_deficit_150", -f.PtbHvl1At150, 1, 0);
    v["mean_energy_deficit_40"] = Fixed(-f.MeanEnergyAt40, 1);
    v["mean_energy_deficit_150"] = Fixed(-f.MeanEnergyAt150, 1);
    v["angle_effect_80"] = Percent(f.At20.Hvl1MmAl, f.At12.Hvl1MmAl, 1);
    FixedWithSummary(v, "air_shift_80", f.At12Air.Hvl1MmAl - f.At12.Hvl1MmAl, 3, 2);
    v["air_shift_largest"] = Fixed(f.LargestAirShift, 2);
    v["window_shift_80"] = Fixed(f.At12Be.Hvl1MmAl - f.At12.Hvl1MmAl, 3);
    v["worst_ptb_hvl1"] = Fixed(100 * f.WorstPtbHvl1, 1);
    v["worst_ptb_hvl2"] = Fixed(100 * f.WorstPtbHvl2, 1);
    v["worst_enea"] = Fixed(100 * f.WorstEnea, 1);
    v["worst_mean_energy"] = Fixed(100 * f.WorstMeanEnergy, 1);
}

void FillMatching(const MatchingStudy& f, Placeholders& v) {
    Rows ptb;
    for (const auto& [ref, before, added, matched] : f.Ptb) {
        ptb.Cell(ref.Quality).Cell(Fixed(ref.Kv, 0)).Cell(Fixed(ref.Hvl1, 2));
        ptb.Cell(Fixed(before.Hvl1MmAl, 2)).Cell(Fixed(added, 3)).Cell(Fixed(matched.Hvl1MmAl, 3));
        ptb.Cell(Fixed(ref.Hvl2, 2)).Cell(Fixed(before.Hvl2MmAl, 2));
        ptb.Cell(Percent(before.Hvl2MmAl, ref.Hvl2, 1)).Cell(Fixed(matched.Hvl2MmAl, 2));
        ptb.Cell(Percent(matched.Hvl2MmAl, ref.Hvl2, 1)).End();
    }
    v["matching_ptb_rows"] = ptb.Text();
    Rows enea;
    for (const auto& [ref, before, added, matched] : f.Enea) {
        enea.Cell(ref.Quality).Cell(Fixed(ref.Kv, 0)).Cell(Fixed(ref.ReferenceHvl1, 2));
        enea.Cell(Fixed(before.Hvl1MmAl, 2)).Cell(Fixed(added, 3));
        enea.Cell(Fixed(ref.SpekCalcMeanKeV, 1)).Cell(Fixed(before.MeanEnergyKeV, 1));
        enea.Cell(Percent(before.MeanEnergyKeV, ref.SpekCalcMeanKeV, 1));
        enea.Cell(Fixed(matched.MeanEnergyKeV, 1));
        enea.Cell(Percent(matched.MeanEnergyKeV, ref.SpekCalcMeanKeV, 1)).End();
    }
    v["matching_enea_rows"] = enea.Text();
    v["matching_worst_hvl1_miss"] = Fixed(f.WorstHvl1Miss, 4);
    v["matching_ptb_hvl2_before"] = Fixed(100 * f.WorstPtbHvl2Before, 1);
    v["matching_ptb_hvl2_after"] = Fixed(100 * f.WorstPtbHvl2After, 1);
    v["matching_mean_before"] = Fixed(100 * f.WorstMeanBefore, 1);
    v["matching_mean_after"] = Fixed(100 * f.WorstMeanAfter, 1);
}

void FillKernels(const KernelStudy& f, Placeholders& v) {
    if (f.SelfChecks.empty() || f.SelfChecks.back() != '\n')
        throw std::runtime_error("the kernel self-checks do not end in a line break");
    v["kernel_self_checks"] = f.SelfChecks.substr(0, f.SelfChecks.size() - 1);
    v["kernel_self_checks_verdict"] = Verdict(f.SelfChecksPassed);
    v["kernel_self_checks_pass"] = f.SelfChecksPassed ? "pass" : "fail";
    v["kernel_verdict"] = Verdict(f.SelfChecksPassed && f.WorstSigma < bounds::PddSigma);
    v["pdd_sigma_worst"] = Fixed(100 * f.WorstSigma, 2);
    Rows rows;
    for (const auto& r : f.Rows) {
        rows.Cell(Label(r.Beam));
        for (double s : r.Sigma)
            rows.Cell(Fixed(100 * s, 3) + " %");
        rows.End();
    }
    v["pdd_sigma_rows"] = rows.Text();
}

// A number as a stream prints it by default (up to six significant digits).
std::string Plain(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// The last cells of a row of changes, and its end.
void ChangeCells(Rows& rows, const MendedStudy::Change& c) {
    rows.Cell(Fixed(c.Depth, 2)).Cell(Signed(c.PointsAt5, 4)).Cell(Signed(c.PointsAt10, 4));
    rows.Cell(Signed(c.PointsAt20, 4)).End();
}

void FillMended(const MendedStudy& f, Placeholders& v) {
    v["program_same_bits"] = std::to_string(f.SameBits);
    v["program_probes"] = std::to_string(f.Probes);
    v["unmended_example_1"] = Fixed(f.UnmendedExample1, 6);
    v["unmended_example_2"] = Fixed(f.UnmendedExample2, 6);
    v["mended_example_1"] = Fixed(f.MendedExample1, 6);
    v["mended_example_2"] = Fixed(f.MendedExample2, 6);
    v["zero_nodes"] = f.ZeroNodes;

    Rows zero;
    for (const auto& r : f.ZeroRows) {
        if (!r.Effect.Computed) {
            zero.Cell(Plain(r.Kv)).Cell(Rect(r.Rectification)).Cell(Plain(r.InherentMm));
            zero.Cell(Plain(r.Side)).Cell("failed");
            for (int k = 0; k < 5; ++k)
                zero.Cell("");
            zero.End();
            continue;
        }
        zero.Cell(Fixed(r.Kv, 0)).Cell(Rect(r.Rectification)).Cell(Fixed(r.InherentMm, 1));
        zero.Cell(Fixed(r.Side, 0) + "x" + Fixed(r.Side, 0)).Cell(Fixed(r.Effect.Points, 4));
        zero.Cell(Fixed(1 + r.Effect.Relative, 3));
        ChangeCells(zero, r.Effect);
    }
    v["zero_node_rows"] = zero.Text();
    v["zero_to_5cm"] = f.ZeroChangesTo5 ? "changed" : "unchanged";
    v["zero_at_10"] = Fixed(f.ZeroAt10, 3);
    FixedWithSummary(v, "zero_at_20", f.ZeroAt20, 3, 2);
    v["zero_points"] = Fixed(f.ZeroPoints, 2);
    FixedWithSummary(v, "zero_points_25", f.ZeroPointsAt25, 3, 2);
    v["zero_factor_25"] = Fixed(1 + f.ZeroWorstAt25, 0);
    v["zero_factor"] = Fixed(1 + f.ZeroWorst, 0);

    Rows corner;
    for (const auto& r : f.CornerRows) {
        corner.Cell(Fixed(r.X, 0) + "x" + Fixed(r.Y, 1)).Cell(Fixed(r.Fsd, 0));
        if (!r.Effect.Computed) {
            corner.Cell("calculation fails");
            for (int k = 0; k < 5; ++k)
                corner.Cell("");
            corner.End();
            continue;
        }
        corner.Cell(Fixed(r.Effect.Points, 4)).Cell(Fixed(100 * r.Effect.Relative, 3));
        ChangeCells(corner, r.Effect);
    }
    v["corner_rows"] = corner.Text();
    v["corner_unchanged"] = std::to_string(f.CornerUnchanged);
    v["corner_tried"] = std::to_string(f.CornerTried);
    v["corner_failed"] = std::to_string(f.CornerFailed);
    v["corner_failures"] = f.CornerFailed
                               ? "Under the first rule " + std::to_string(f.CornerFailed) +
                                     " fields (" + f.CornerFailedFields +
                                     ") cannot be computed at all: " + f.CornerFailure + "."
                               : "";
    v["corner_points"] = Fixed(f.CornerPoints, 2);
    v["corner_worst"] = Fixed(100 * f.CornerWorst, 1);
    v["corner_worst_field"] = f.CornerWorstField;
    v["corner_wide"] = Fixed(100 * f.CornerWide, 3);
}

} // namespace

std::string ReportText(const Findings& findings, const std::vector<Check>& checks,
                       const Report& report) {
    if (!findings.Surface)
        throw std::runtime_error("the report needs the surface study");
    Placeholders v;
    FillData(findings.Data, report, v);
    FillSpectra(findings.Spectra, report, v);
    FillMatching(findings.Matching, v);
    FillKernels(findings.Kernels, v);
    FillDepthDose(findings.DepthDose, findings.Hardening, report, v);
    FillSurface(*findings.Surface, report, v);
    FillMended(findings.Mended, v);
    FillDivergent(findings.Divergent, v);
    FillSurfaceDose(findings.SurfaceDose, v);
    FillMedium(findings.Medium, v);
    FillThickness(findings.Thickness, v, "thickness");
    for (const ThicknessStudy& t : findings.MediumSlabs) {
        std::string key = std::string("slabs_") + MediumKey(t.Material);
        std::erase(key, '-');
        FillThickness(t, v, key);
    }
    FillOffAxis(findings.OffAxis, v);
    FillCircles(findings.Circles, v);
    std::string lines;
    for (const Check& check : checks)
        lines += (lines.empty() ? "" : "\n") + CheckLine(check);
    v["checks"] = lines;
    return FillTemplate(ReportTemplate(), v);
}

} // namespace veltrim::validate
