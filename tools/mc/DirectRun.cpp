#include "tools/mc/DirectRun.h"

#include "core/CFormat.h"
#include "tools/mc/SurfaceEstimator.h"

#include <cmath>
#include <optional>
#include <stdexcept>

namespace veltrim::mc {
namespace {

// Uncollided dose on the axis averaged over the layer from `top` over
// `thickness` cm, per unit axis fluence at the entrance face: dose factor x
// exp(-mu z) x f^2 / (f + z)^2, by 8-point Gauss-Legendre.
double PrimaryLayerAverage(const AxisEstimator& estimator, double E, double fsd, double top,
                           double thickness) {
    static constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                         0.9602898564975363};
    static constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873,
                                           0.2223810344533745, 0.1012285362903763};
    const double middle = top + 0.5 * thickness;
    const double half = 0.5 * thickness;
    const double mu = estimator.Attenuation(E);
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        for (const double sign : {-1.0, 1.0}) {
            const double z = middle + sign * half * kNodes[k];
            sum += kWeights[k] * std::exp(-mu * z) * fsd * fsd / ((fsd + z) * (fsd + z));
        }
    }
    return estimator.DoseFactor(E) * 0.5 * sum;
}

// The same on the vertical line x cm off the axis (y = 0), for a field of
// half side `half` along x at the surface: the ray from the focus is longer
// by s / (f + z), both in the inverse square and in the tissue it crosses;
// beyond the field's projection there is no primary.
double OffAxisPrimaryAverage(const AxisEstimator& estimator, double E, double fsd, double top,
                             double thickness, double x, double half) {
    static constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                         0.9602898564975363};
    static constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873,
                                           0.2223810344533745, 0.1012285362903763};
    const double mu = estimator.Attenuation(E);
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        for (const double sign : {-1.0, 1.0}) {
            const double z = top + 0.5 * thickness * (1.0 + sign * kNodes[k]);
            if (std::fabs(x) > half * (fsd + z) / fsd) {
                continue;
            }
            const double s2 = (fsd + z) * (fsd + z) + x * x;
            const double slant = z * std::sqrt(s2) / (fsd + z);
            sum += kWeights[k] * std::exp(-mu * slant) * fsd * fsd / s2;
        }
    }
    return estimator.DoseFactor(E) * 0.5 * sum;
}

// The spectrum's primary dose in a layer, per unit spectrum weight, on the
// axis or (half > 0) off it.
double SpectrumPrimary(const AxisEstimator& estimator, const EnergyTable& spectrum, int lastBin,
                       double fsd, double top, double thickness, double x = 0.0,
                       double half = 0.0) {
    double primary = 0.0;
    for (int i = 21; i <= lastBin; ++i) {
        primary +=
            spectrum[static_cast<std::size_t>(i)] *
            (half > 0.0 ? OffAxisPrimaryAverage(estimator, 0.5 * i, fsd, top, thickness, x, half)
                        : PrimaryLayerAverage(estimator, 0.5 * i, fsd, top, thickness));
    }
    return primary;
}

SurfaceResult Surface(const FocusTally& tally, const DirectExtras& extras,
                      const EnergyTable& spectrum, int lastBin) {
    const std::uint64_t n = tally.Histories();
    const ScoringArray& s = tally.Surface;
    SurfaceResult r;
    r.SurfaceRadius = extras.SurfaceRadius;
    r.LayerThickness = extras.LayerThickness;
    // The primary fluence at the surface on the axis is the spectrum itself.
    for (int i = 21; i <= lastBin; ++i) {
        r.PrimaryTissue += spectrum[static_cast<std::size_t>(i)] * extras.Kerma->Tissue(0.5 * i);
        r.IncidentAir += spectrum[static_cast<std::size_t>(i)] * extras.Kerma->Air(0.5 * i);
    }
    r.ScatterTissue = s.Mean(FocusTally::kNextEventTissue, n);
    r.ScatterTissueSigma = s.Uncertainty(FocusTally::kNextEventTissue, n);
    r.ScatterAir = s.Mean(FocusTally::kNextEventAir, n);
    r.ScatterAirSigma = s.Uncertainty(FocusTally::kNextEventAir, n);
    r.LayerTissue = s.Mean(FocusTally::kLayerTissue, n);
    r.LayerTissueSigma = s.Uncertainty(FocusTally::kLayerTissue, n);
    r.LayerAir = s.Mean(FocusTally::kLayerAir, n);
    r.LayerAirSigma = s.Uncertainty(FocusTally::kLayerAir, n);
    return r;
}

std::string SurfaceLine(const char* quantity, double value, double sigma) {
    return std::string("# surface,") + quantity + "," + FormatC("%.6e", value) + "," +
           FormatC("%.3e", sigma) + "\n";
}

// The surface block: '#' lines, so that readers of the rows pass over it.
std::string SurfaceText(const SurfaceResult& s) {
    return "# entrance surface on the axis, per unit spectrum weight (keV cm2/g): primary from "
           "the spectrum and the tables; scatter by a next-event estimate over a disc of radius " +
           FormatC("%.2f", s.SurfaceRadius) +
           " cm in the entrance plane, and by track length in the layer 0-" +
           FormatC("%.4f", s.LayerThickness) +
           " cm under it (check)\n"
           "# surface,quantity,value,sigma\n" +
           SurfaceLine("primary_tissue_kerma", s.PrimaryTissue, 0.0) +
           SurfaceLine("incident_air_kerma", s.IncidentAir, 0.0) +
           SurfaceLine("scatter_tissue_kerma", s.ScatterTissue, s.ScatterTissueSigma) +
           SurfaceLine("scatter_air_kerma", s.ScatterAir, s.ScatterAirSigma) +
           SurfaceLine("layer_scatter_tissue_kerma", s.LayerTissue, s.LayerTissueSigma) +
           SurfaceLine("layer_scatter_air_kerma", s.LayerAir, s.LayerAirSigma) +
           SurfaceLine("backscatter_factor", 1.0 + s.ScatterAir / s.IncidentAir,
                       s.ScatterAirSigma / s.IncidentAir) +
           SurfaceLine("surface_tissue_kerma", s.PrimaryTissue + s.ScatterTissue,
                       s.ScatterTissueSigma);
}

} // namespace

DirectResult RunDirect(const TissueModel& tissue, const AxisEstimator& estimator,
                       const EnergyTable& spectrum, const IrradiationConditions& conditions,
                       FocusRunSettings settings, double importanceFactor, double importanceSpan,
                       const DirectExtras& extras) {
    const int lastBin = static_cast<int>(std::floor(2.0 * conditions.TubeVoltage));
    const bool circle = conditions.FieldY == 0.0;
    const double halfX = 0.5 * std::max(conditions.FieldX, conditions.FieldY);
    const double halfY = 0.5 * std::min(conditions.FieldX, conditions.FieldY);
    const Focus focus{conditions.Fsd};
    const FieldSource source(focus, spectrum, 21, lastBin, halfX, circle ? halfX : halfY, circle);
    settings.RingCells = false;
    settings.Importance = DepthImportanceFor(tissue.At(source.MeanEnergy()).Total(),
                                             importanceFactor, importanceSpan);
    std::optional<SurfaceEstimator> surface;
    if (extras.Kerma) {
        surface.emplace(estimator, *extras.Kerma, extras.SurfaceRadius);
    }
    std::vector<FineRows> fine = extras.Fine;
    fine.insert(fine.end(), extras.Lateral.begin(), extras.Lateral.end());
    const ExtraScores scores{surface ? &*surface : nullptr,
                             SurfaceLayer{extras.LayerThickness, extras.SurfaceRadius, 1}, fine};
    if (surface || !fine.empty()) {
        settings.Extras = &scores;
    }
    const FocusTally tally = RunFocus(
        tissue, estimator, focus, [&](RandomStream& r) { return source.Sample(r); }, settings);

    DirectResult result;
    result.Rows = settings.Rows;
    result.Histories = tally.Histories();
    result.MeanEnergy = source.MeanEnergy();
    for (int a = 1; a <= settings.Rows; ++a) {
        const auto row = static_cast<std::size_t>(a - 1);
        result.Scatter[static_cast<std::size_t>(a)] =
            tally.ScatterRows.Mean(row, tally.Histories());
        result.ScatterSigma[static_cast<std::size_t>(a)] =
            tally.ScatterRows.Uncertainty(row, tally.Histories());
        result.TubeScatter[static_cast<std::size_t>(a)] =
            tally.ScatterTube.Mean(row, tally.Histories());
        result.TubeScatterSigma[static_cast<std::size_t>(a)] =
            tally.ScatterTube.Uncertainty(row, tally.Histories());
        result.Primary[static_cast<std::size_t>(a)] =
            SpectrumPrimary(estimator, spectrum, lastBin, conditions.Fsd,
                            (a - 1) * CellGrid::kRowThickness, CellGrid::kRowThickness);
    }
    if (surface) {
        result.HasSurface = true;
        result.Surface = Surface(tally, extras, spectrum, lastBin);
    }
    std::size_t bin = 0;
    for (const FineRows& rows : extras.Fine) {
        for (int k = 0; k < rows.Count; ++k, ++bin) {
            const double top = rows.Top + k * rows.Thickness;
            result.Fine.push_back(
                {top, rows.Thickness, 0.0,
                 SpectrumPrimary(estimator, spectrum, lastBin, conditions.Fsd, top, rows.Thickness),
                 tally.FineScatter.Mean(bin, tally.Histories()),
                 tally.FineScatter.Uncertainty(bin, tally.Histories())});
        }
    }
    for (const FineRows& rows : extras.Lateral) {
        for (int k = 0; k < rows.Count; ++k, ++bin) {
            const double top = rows.Top + k * rows.Thickness;
            result.Lateral.push_back({top, rows.Thickness, rows.X,
                                      SpectrumPrimary(estimator, spectrum, lastBin, conditions.Fsd,
                                                      top, rows.Thickness, rows.X, halfX),
                                      tally.FineScatter.Mean(bin, tally.Histories()),
                                      tally.FineScatter.Uncertainty(bin, tally.Histories())});
        }
    }
    return result;
}
std::string DirectResultText(const DirectResult& r) {
    std::string text = "# direct Monte Carlo, " + std::to_string(r.Histories) +
                       " histories, mean photon energy " + FormatC("%.2f", r.MeanEnergy) +
                       " keV\n"
                       "depth_cm,primary,scatter,scatter_sigma,primary_pdd,scatter_pdd,total_pdd,"
                       "total_pdd_sigma,scatter_to_primary,tube_scatter,tube_scatter_sigma\n";
    const double first = r.Primary[1] + r.Scatter[1];
    const double firstSigma = r.ScatterSigma[1];
    for (int a = 1; a <= r.Rows; ++a) {
        const auto k = static_cast<std::size_t>(a);
        const double total = r.Primary[k] + r.Scatter[k];
        const double relative = std::hypot(r.ScatterSigma[k] / total, firstSigma / first);
        text += FormatC("%.2f", (a - 0.5) * CellGrid::kRowThickness) + "," +
                FormatC("%.6e", r.Primary[k]) + "," + FormatC("%.6e", r.Scatter[k]) + "," +
                FormatC("%.3e", r.ScatterSigma[k]) + "," +
                FormatC("%.4f", 100.0 * r.Primary[k] / first) + "," +
                FormatC("%.4f", 100.0 * r.Scatter[k] / first) + "," +
                FormatC("%.4f", 100.0 * total / first) + "," +
                FormatC("%.4f", 100.0 * total / first * relative) + "," +
                FormatC("%.5f", r.Scatter[k] / r.Primary[k]) + "," +
                FormatC("%.6e", r.TubeScatter[k]) + "," + FormatC("%.3e", r.TubeScatterSigma[k]) +
                "\n";
    }
    if (r.HasSurface) {
        text += SurfaceText(r.Surface);
    }
    return text;
}

namespace {

// Rows of their own thickness under the title `what`; rows off the axis
// (`offAxis`) lead with their distance from it.
std::string OwnRowsText(const DirectResult& r, const std::vector<FineRowResult>& rows,
                        const char* what, bool offAxis) {
    std::string text = "# direct Monte Carlo, " + std::to_string(r.Histories) +
                       " histories: " + what + "\n" + (offAxis ? "x_cm," : "") +
                       "top_cm,middle_cm,thickness_cm,primary,scatter,scatter_sigma,total\n";
    for (const FineRowResult& f : rows) {
        text += (offAxis ? FormatC("%.2f", f.X) + "," : "") + FormatC("%.4f", f.Top) + "," +
                FormatC("%.4f", f.Top + 0.5 * f.Thickness) + "," + FormatC("%.4f", f.Thickness) +
                "," + FormatC("%.6e", f.Primary) + "," + FormatC("%.6e", f.Scatter) + "," +
                FormatC("%.3e", f.ScatterSigma) + "," + FormatC("%.6e", f.Primary + f.Scatter) +
                "\n";
    }
    return text;
}

} // namespace

std::string FineRowsText(const DirectResult& r) {
    return OwnRowsText(r, r.Fine, "rows of their own thickness", false);
}

std::string LateralRowsText(const DirectResult& r) {
    return OwnRowsText(r, r.Lateral, "rows off the axis, along the field's first side", true);
}

} // namespace veltrim::mc
