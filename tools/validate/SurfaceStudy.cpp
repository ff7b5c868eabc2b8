// Scatter-to-primary at the surface: Veltrim's row 1 converted to the surface
// with the thin-layer Monte Carlo, against published backscatter factors.
#include "dose/RingCoverage.h"
#include "tools/mc/TissueModel.h"
#include "tools/validate/References.h"
#include "tools/validate/Studies.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace veltrim::validate {
namespace {

// A spectrum-weighted ratio of scatter to primary over a layer, with the
// Monte Carlo's relative 1-sigma, and the primary dose at the surface.
struct Weighted {
    double Ratio = 0, RelativeSigma = 0, Primary = 0;
};

// Weights the layer's node doses with the spectrum as the program weights its
// kernels (log interpolation between nodes, linear where one is 0), and
// carries the Monte Carlo's 1-sigma through that interpolation (nodes are
// independent runs).
Weighted Weigh(const Engine& calc, const std::vector<SurfaceScatter>& nodes,
               const SurfaceTallySettings& settings, const EnergyTable& spectrum, int topBin,
               std::size_t layer, std::size_t field, bool divergent) {
    std::array<double, EnergyBinCount> node{}, nodeSigma{};
    for (int k = 0; k < 29; ++k) {
        node[20 + 10 * k] =
            divergent ? nodes[k].DivergentDose[layer][field] : nodes[k].Dose[layer][field];
        nodeSigma[20 + 10 * k] = nodes[k].Sigma[layer][field];
    }
    std::array<double, 29> coefficient{};
    double scatter = 0, primary = 0, primaryAtSurface = 0;
    const double depth = settings.LayerDepths[layer];
    for (int i = 21; i <= topBin; ++i) {
        double S = node[i];
        if (i % 10 != 0) {
            int j = 20;
            while (0.5 * i >= 0.5 * j)
                j += 10;
            const double H = node[j], L = node[j - 10], t = (0.5 * j - 0.5 * i) / 5;
            const bool logarithmic = H > 0 && L > 0;
            S = logarithmic ? std::exp(std::log(H) - (std::log(H) - std::log(L)) * t)
                            : H - (H - L) * t;
            coefficient[j / 10 - 2] +=
                spectrum[i] * (1 - t) * (logarithmic ? S / H : 1.0) * nodeSigma[j];
            coefficient[j / 10 - 3] +=
                spectrum[i] * t * (logarithmic ? S / L : 1.0) * nodeSigma[j - 10];
        } else {
            coefficient[i / 10 - 2] += spectrum[i] * nodeSigma[i];
        }
        const double mu = calc.TissueMu(0.5 * i);
        const double P = calc.Tissue().PrimaryDose[i] * (1 - std::exp(-mu * depth)) / (mu * depth);
        scatter += spectrum[i] * S;
        primary += spectrum[i] * P;
        primaryAtSurface += spectrum[i] * calc.Tissue().PrimaryDose[i];
    }
    double variance = 0;
    for (double a : coefficient)
        variance += a * a;
    return Weighted{scatter / primary, std::sqrt(variance) / scatter, primaryAtSurface};
}

} // namespace

SurfaceStudy StudySurface(Engine& calc, const SurfaceTallySettings& settings) {
    SurfaceStudy out;
    out.Settings = settings;
    const mc::TissueModel tissue(xrl::IcruSoftTissue());
    std::vector<SurfaceScatter> nodes;
    for (int k = 0; k < 29; ++k)
        nodes.push_back(RunSurfaceScatter(10 + 5 * k, tissue, settings));
    const std::size_t layerThin = 0, layerRow = settings.LayerDepths.size() - 1;

    // Consistency of this transport with the shipped kernels: row 1 of a
    // parallel 30x30 field.
    const std::size_t field30 = 3;
    for (int k = 0; k < 29; ++k) {
        double kernel = 0;
        for (int ring = 1; ring <= 43; ++ring)
            kernel +=
                calc.Kernels().Tables[k][ring][1] * RingCoverage(ring, 15.0, 15.0, 3.14159).value();
        const double mc = nodes[k].Dose[layerRow][field30];
        const double sigma = std::hypot(nodes[k].Sigma[layerRow][field30], 0.0025 * kernel);
        const double pull = (mc - kernel) / sigma;
        out.WorstPull = std::max(out.WorstPull, std::fabs(pull));
        if (k % 2 == 0 || k == 28)
            out.KernelRows.push_back(
                {10 + 5 * k, kernel, mc, nodes[k].Sigma[layerRow][field30], pull});
    }

    auto weighted = [&](const EnergyTable& spectrum, int topBin, std::size_t layer,
                        std::size_t field, bool divergent) {
        return Weigh(calc, nodes, settings, spectrum, topBin, layer, field, divergent);
    };

    // How the scatter of the first layer depends on its thickness (80 kV, 30x30).
    {
        const EnergyTable spectrum = calc.Spectrum(ReferenceBeam());
        for (std::size_t l = 0; l < settings.LayerDepths.size(); ++l) {
            const Weighted w = weighted(spectrum, 160, l, 3, false);
            out.Layers.push_back({settings.LayerDepths[l], w.Ratio, w.Ratio * w.RelativeSigma});
        }
    }

    // The surface value: the two thinnest layers' ratios, taken at their
    // middles, extrapolated linearly to depth 0.
    out.Middle0 = 0.5 * settings.LayerDepths[layerThin];
    out.Middle1 = 0.5 * settings.LayerDepths[layerThin + 1];
    const double reach = out.Middle0 / (out.Middle1 - out.Middle0);
    auto AtSurface = [reach](const Weighted& thin, const Weighted& thicker) {
        Weighted w = thin;
        w.Ratio = thin.Ratio - (thicker.Ratio - thin.Ratio) * reach;
        w.RelativeSigma = std::hypot((1 + reach) * thin.Ratio * thin.RelativeSigma,
                                     reach * thicker.Ratio * thicker.RelativeSigma) /
                          w.Ratio;
        return w;
    };

    std::ostringstream plotData;
    for (double kv = 50; kv <= 150; kv += 10) {
        IrradiationConditions b = ReferenceBeam();
        b.TubeVoltage = kv;
        const EnergyTable spectrum = calc.Spectrum(b);
        const double hvl = QualityOf(calc, spectrum).Hvl1MmAl;
        const int topBin = static_cast<int>(std::floor(2 * kv));
        plotData << kv;
        for (double side : {10.0, 20.0, 30.0}) {
            b.FieldX = b.FieldY = side;
            const DepthDose dose = calc.Library(b);
            const double veltrimRow1 = dose.ScatterDose[1] / dose.PrimaryDose[1];
            const std::size_t field = side == 10 ? 0 : side == 20 ? 1 : 3;
            const Weighted mcRow = weighted(spectrum, topBin, layerRow, field, false);
            const Weighted mcSurface =
                AtSurface(weighted(spectrum, topBin, layerThin, field, false),
                          weighted(spectrum, topBin, layerThin + 1, field, false));
            const Weighted mcDivergent =
                AtSurface(weighted(spectrum, topBin, layerThin, field, true),
                          weighted(spectrum, topBin, layerThin + 1, field, true));
            const double surface = veltrimRow1 * mcSurface.Ratio / mcRow.Ratio;
            const double sigma = surface * std::hypot(mcSurface.RelativeSigma, mcRow.RelativeSigma);
            const double B = side == 30 ? 0.5 * (refs::BackscatterFromFit(3, kv, hvl) +
                                                 refs::BackscatterFromFit(4, kv, hvl))
                                        : refs::BackscatterFromFit(side == 10 ? 1 : 2, kv, hvl);
            const double ratio = surface / (B - 1);
            const double divRatio = mcDivergent.Ratio / (B - 1);
            const double total = (1 + surface) / B;
            const double row1OverSurface =
                (dose.PrimaryDose[1] + dose.ScatterDose[1]) / (mcSurface.Primary * (1 + surface));
            out.Low = std::min(out.Low, ratio);
            out.High = std::max(out.High, ratio);
            out.DivergentLow = std::min(out.DivergentLow, divRatio);
            out.DivergentHigh = std::max(out.DivergentHigh, divRatio);
            out.WorstRelativeSigma = std::max(out.WorstRelativeSigma, sigma / surface);
            out.TotalLow = std::min(out.TotalLow, total);
            out.TotalHigh = std::max(out.TotalHigh, total);
            out.Row1Low = std::min(out.Row1Low, row1OverSurface);
            out.Row1High = std::max(out.Row1High, row1OverSurface);
            plotData << ' ' << B - 1 << ' ' << veltrimRow1 << ' ' << surface << ' '
                     << mcDivergent.Ratio;
            out.Rows.push_back({kv, hvl, side, B - 1, veltrimRow1, surface, sigma,
                                mcDivergent.Ratio, row1OverSurface});
        }
        plotData << '\n';
    }
    out.Plot = {"backscatter.dat", plotData.str()};
    return out;
}

} // namespace veltrim::validate
