#include "tools/mc/SurfaceRun.h"

#include "core/CFormat.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace veltrim::mc {
namespace {

double Relative(const ScoringArray& a, std::size_t bin, std::uint64_t n) {
    const double mean = a.Mean(bin, n);
    return mean > 0.0 ? a.Uncertainty(bin, n) / mean : 0.0;
}

std::string MeanAndSigma(const ScoringArray& a, std::size_t bin, std::uint64_t n) {
    return FormatC("%.6e", a.Mean(bin, n)) + "," + FormatC("%.3e", a.Uncertainty(bin, n));
}

} // namespace

double SurfaceWorstUncertainty(const SurfaceTally& tally) {
    const std::uint64_t n = tally.Histories();
    return std::max(Relative(tally.Tissue(), SurfaceTally::kSumInner, n),
                    Relative(tally.Air(), SurfaceTally::kSumInner, n));
}

SurfaceTally RunSurface(const TissueModel& tissue, const KermaFactors& kerma,
                        const SurfaceLayer& layer, const RunSettings& settings,
                        const std::function<void(const SurfaceTally&)>& progress) {
    return RunPencilBatches<SurfaceTally>(
        tissue, settings, [&] { return std::make_unique<SurfaceTally>(kerma, layer); },
        SurfaceWorstUncertainty, progress);
}

std::string SurfaceFileText(const SurfaceTally& tally) {
    std::string text;
    for (const ScoringArray* medium : {&tally.Tissue(), &tally.Air()}) {
        for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
            const double value = medium->Mean(ring, tally.Histories());
            text += value == 0.0 ? std::string("0") : FormatC("%.6e", value);
            text += (ring + 1) % 20 == 0 ? "\n" : ",";
        }
    }
    return text;
}

std::string SurfaceRunHeader() {
    return "energy_keV,histories,tissue_rings_1_40,sigma,tissue_rings_1_80,sigma,air_rings_1_40,"
           "sigma,air_rings_1_80,sigma,primary_tissue_over_expected,sigma,primary_air_over_"
           "expected,sigma\n";
}

std::string SurfaceRunLine(double energy, const SurfaceTally& tally, const KermaFactors& kerma,
                           double mu) {
    const std::uint64_t n = tally.Histories();
    const double muT = mu * tally.Layer().Thickness;
    const double attenuation = -std::expm1(-muT) / muT;
    std::string line = FormatC("%.0f", energy) + "," + std::to_string(n);
    for (const ScoringArray* medium : {&tally.Tissue(), &tally.Air()}) {
        line += "," + MeanAndSigma(*medium, SurfaceTally::kSumInner, n) + "," +
                MeanAndSigma(*medium, SurfaceTally::kSumAll, n);
    }
    const double expectedTissue = kerma.Tissue(energy) * attenuation;
    const double expectedAir = kerma.Air(energy) * attenuation;
    for (const auto& [medium, expected] :
         {std::pair{&tally.Tissue(), expectedTissue}, std::pair{&tally.Air(), expectedAir}}) {
        line += "," + FormatC("%.6f", medium->Mean(SurfaceTally::kPrimary, n) / expected) + "," +
                FormatC("%.1e", medium->Uncertainty(SurfaceTally::kPrimary, n) / expected);
    }
    return line + "\n";
}

std::string SurfaceRingHeader() {
    return "energy_keV,ring,tissue_keV_cm2_per_g,tissue_sigma,air_keV_cm2_per_g,air_sigma\n";
}

std::string SurfaceRingLines(double energy, const SurfaceTally& tally) {
    const std::uint64_t n = tally.Histories();
    std::string text;
    for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
        text += FormatC("%.0f", energy) + "," + std::to_string(ring + 1) + "," +
                MeanAndSigma(tally.Tissue(), ring, n) + "," + MeanAndSigma(tally.Air(), ring, n) +
                "\n";
    }
    return text;
}

} // namespace veltrim::mc
