// The placeholders of sections 4.6-4.8: the entrance surface and the dose at
// a depth against direct Monte Carlo, the hand sum, and the medium.
#include "tools/validate/Checks.h"
#include "tools/validate/ReportSections.h"

#include <algorithm>
#include <cstdio>

namespace veltrim::validate {

void FillSurfaceDose(const SurfaceDoseStudy& f, Placeholders& v) {
    Rows surface;
    double excessLow = 1e9, excessHigh = -1e9, sigmaScatter = 0;
    double bLow = 1e9, bHigh = -1e9, doseLow = 1e9, doseHigh = -1e9;
    for (const auto& b : f.Beams) {
        const DirectSurface& d = b.Direct;
        surface.Cell(b.Name)
            .Cell(Fixed(d.Backscatter, 4) + " +/- " + Fixed(d.BackscatterSigma, 4))
            .Cell(Fixed(b.Backscatter[0], 4) + " (" + Percent(b.Backscatter[0], d.Backscatter, 1) +
                  ")")
            .Cell(Fixed(b.Backscatter[1], 4) + " (" + Percent(b.Backscatter[1], d.Backscatter, 1) +
                  ")")
            .Cell(Fixed(b.DirectDose, 4) + " +/- " + Fixed(b.DirectDoseSigma, 4))
            .Cell(Fixed(b.Surface[0], 4) + " (" + Percent(b.Surface[0], b.DirectDose, 1) + ")")
            .Cell(Fixed(b.Surface[1], 4) + " (" + Percent(b.Surface[1], b.DirectDose, 1) + ")")
            .Cell(Signed(100 * b.ScatterTissueExcess, 1) + " %")
            .End();
        excessLow = std::min(excessLow, 100 * b.ScatterTissueExcess);
        excessHigh = std::max(excessHigh, 100 * b.ScatterTissueExcess);
        sigmaScatter = std::max(sigmaScatter, d.ScatterTissueSigma / d.ScatterTissue);
        for (int m = 0; m < 2; ++m) {
            bLow = std::min(bLow, 100 * (b.Backscatter[m] / d.Backscatter - 1));
            bHigh = std::max(bHigh, 100 * (b.Backscatter[m] / d.Backscatter - 1));
            doseLow = std::min(doseLow, 100 * (b.Surface[m] / b.DirectDose - 1));
            doseHigh = std::max(doseHigh, 100 * (b.Surface[m] / b.DirectDose - 1));
        }
    }
    v["surface_dose_rows"] = surface.Text();
    v["surface_dose_b"] = Fixed(100 * f.WorstBackscatter, 2);
    v["surface_dose_dose"] = Fixed(100 * f.WorstSurface, 2);
    v["surface_dose_range"] = "B " + Signed(bLow, 1) + " to " + Signed(bHigh, 1) +
                              " %, surface dose " + Signed(doseLow, 1) + " to " +
                              Signed(doseHigh, 1) + " %";
    v["surface_dose_sigma_b"] = Fixed(100 * f.SigmaBackscatter, 2);
    v["surface_dose_sigma_dose"] = Fixed(100 * f.SigmaSurface, 2);
    v["surface_dose_sigma_scatter"] = Fixed(100 * sigmaScatter, 1);
    v["surface_scatter_excess_low"] = Signed(excessLow, 1);
    v["surface_scatter_excess_high"] = Signed(excessHigh, 1);
    v["surface_dose_verdict"] = Verdict(f.WorstBackscatter < bounds::SurfaceBackscatter &&
                                        f.WorstSurface < bounds::SurfaceDose);

    Rows spans;
    for (const auto& s : f.Spans)
        spans.Cell(s.Beam)
            .Cell(Fixed(s.From, 1) + "-" + Fixed(s.To, 1))
            .Cell(std::to_string(s.Rows))
            .Cell(Fixed(100 * s.MedianSigma, 2) + " %")
            .Cell(Signed(100 * s.Mean, 2) + " %")
            .Cell(Fixed(100 * s.Rms, 2) + " %")
            .Cell(Signed(100 * s.Largest, 2) + " % at " + Fixed(s.LargestAt, 2) + " (" +
                  Fixed(s.LargestPull, 1) + " sigma)")
            .Cell(Signed(100 * s.ProgramMean, 2) + " %")
            .Cell(Fixed(100 * s.ProgramLargest, 2) + " %")
            .End();
    v["interpolation_rows"] = spans.Text();
    v["interpolation_worst_mean"] = Fixed(100 * f.WorstSpanMean, 2);
    v["interpolation_program_mean"] = Fixed(100 * f.WorstProgramMean, 2);
    v["interpolation_verdict"] = Verdict(f.WorstSpanMean < bounds::DepthInterpolation);

    Rows hand;
    for (const auto& h : f.Hand)
        hand.Cell(Fixed(h.Depth, 2))
            .Cell(Fixed(h.Program, 6))
            .Cell(Fixed(h.Hand, 6))
            .Cell(Fixed(1e15 * (h.Program / h.Hand - 1), 2))
            .End();
    v["hand_rows"] = hand.Text();
    v["hand_worst"] = Fixed(1e15 * f.HandWorst, 1);
    char share[32];
    std::snprintf(share, sizeof share, "%.1e", f.BelowTablesShare);
    v["hand_below_share"] = share;
    v["hand_verdict"] =
        Verdict(f.BelowTablesShare < bounds::BelowTables && f.HandWorst < bounds::HandSum);
}

void FillMedium(const MediumStudy& f, Placeholders& v) {
    Rows ratios;
    for (const auto& r : f.Ratios)
        ratios.Cell(r.Beam)
            .Cell(Fixed(r.Hvl1, 2))
            .Cell(Fixed(r.Icru4, 4))
            .Cell(Fixed(r.Icru44, 4))
            .Cell(Fixed(r.Water, 4))
            .Cell(Fixed(r.Tg61, 3) + " (" + Percent(r.Water, r.Tg61, 1) + ")")
            .Cell(Percent(r.Icru4, r.Water, 1) + " %")
            .Cell(Percent(r.Icru4, r.Icru44, 1) + " %")
            .End();
    v["medium_rows"] = ratios.Text();
    v["medium_below_water_low"] = Fixed(f.BelowWaterLow, 1);
    v["medium_below_water_high"] = Fixed(f.BelowWaterHigh, 1);
    v["medium_below_icru44_low"] = Fixed(f.BelowIcru44Low, 1);
    v["medium_below_icru44_high"] = Fixed(f.BelowIcru44High, 1);
    v["medium_tg61"] = Fixed(100 * f.WorstTg61, 2);
    v["medium_verdict"] = Verdict(f.WorstTg61 < bounds::WaterAirRatio);

    Rows rows;
    double low = 1e9, high = -1e9;
    for (const auto& r : f.Rows) {
        low = std::min(low, 100 * (r.InWater / r.Published - 1));
        high = std::max(high, 100 * (r.InWater / r.Published - 1));
        rows.Cell(Fixed(r.Kv, 0))
            .Cell(Fixed(r.Hvl1, 2))
            .Cell(Fixed(r.AddedAlMm, 3))
            .Cell(Fixed(r.Side, 0) + "x" + Fixed(r.Side, 0))
            .Cell(Fixed(r.Published, 3))
            .Cell(Fixed(r.Air, 3) + " (" + Percent(r.Air, r.Published, 1) + ")")
            .Cell(Fixed(r.Tissue, 3))
            .Cell(Signed(100 * r.AlbedoChange, 2) + " %")
            .Cell(Fixed(r.InWater, 3) + " +/- " + Fixed(r.ConversionSpread, 3))
            .Cell(Percent(r.InWater, r.Published, 1) + " %")
            .Cell(Fixed(r.OwnWater, 3) + " (" + Percent(r.OwnWater, r.Published, 1) + " %)")
            .End();
    }
    v["published_b_low"] = Signed(low, 1);
    v["published_b_high"] = Signed(high, 1);
    v["published_b_rows"] = rows.Text();
    v["published_b_conversion_low"] = Signed(f.ConversionLow, 1);
    v["published_b_conversion_high"] = Signed(f.ConversionHigh, 1);
    v["published_b_spread"] = Fixed(f.SpreadHigh, 1);
    v["published_b_kerma_low"] = Signed(f.KermaLow, 2);
    v["published_b_kerma_high"] = Signed(f.KermaHigh, 2);
    v["published_b_raw"] = Fixed(100 * f.WorstDifferenceRaw, 2);
    v["published_b_mean"] = Signed(f.MeanDifference, 2);
    v["published_b_verdict"] = Verdict(f.WorstDifference < bounds::PublishedBackscatter);
    v["own_water_b_low"] = Signed(f.OwnWaterLow, 1);
    v["own_water_b_high"] = Signed(f.OwnWaterHigh, 1);
    v["own_water_b_verdict"] = Verdict(f.WorstOwnWater < bounds::PublishedBackscatter);
}

} // namespace veltrim::validate
