#include "tools/mc/DivergentKernels.h"

#include "core/CFormat.h"
#include "tools/mc/BatchQueue.h"
#include "tools/mc/Interactions.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/Transport.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace veltrim::mc {

double ScatteringDensity(const TissueModel& tissue, double E, double cosTheta, bool coherent) {
    const double q = E / kHcKeVAngstrom * std::sqrt(std::max(0.0, 0.5 * (1.0 - cosTheta)));
    const double sin2 = 1.0 - cosTheta * cosTheta;
    if (coherent) {
        return (2.0 - sin2) * tissue.FormFactorSquared(q);
    }
    // Klein-Nishina: (E'/E)^2 (E'/E + E/E' - sin^2 theta).
    const double p = 1.0 / (1.0 + E / kElectronRestEnergy * (1.0 - cosTheta));
    return p * p * (p + 1.0 / p - sin2) * tissue.IncoherentAcceptance(q);
}

DivergentKernelTally::DivergentKernelTally(const TissueModel& tissue, double energy,
                                           std::vector<double> fsds)
    : tissue_(&tissue), energy_(energy), mu_(tissue.At(energy).Total()), fsds_(std::move(fsds)),
      sets_(fsds_.size()) {}

void DivergentKernelTally::ScatterDeposit(const Position& p, double energy,
                                          const FirstScattering& first, std::uint64_t history) {
    const auto row = CellGrid::RowOf(p.Z);
    if (!row) {
        return;
    }
    const double middle = (static_cast<double>(*row) + 0.5) * CellGrid::kRowThickness;
    const double offset2 = p.X * p.X + p.Y * p.Y;
    const double offset = std::sqrt(offset2);
    const double sampled = ScatteringDensity(*tissue_, energy_, first.Out.W, first.Coherent);
    for (std::size_t k = 0; k < fsds_.size(); ++k) {
        const double f = fsds_[k];
        double radius = offset;
        double weight = 1.0;
        if (std::isfinite(f)) {
            // Distances from the focus along the axis to the first scattering
            // and to the row's middle.
            const double toSite = f + first.Depth;
            const double toRow = f + middle;
            radius = offset * toRow / toSite;
            const double ray = std::sqrt(offset2 + toSite * toSite);
            const double cosRay = toSite / ray;
            // The ray's direction is (-p.X, -p.Y, toSite) / ray: from the
            // focus through the scattering point at -q.
            const double cosToRay =
                (-p.X * first.Out.U - p.Y * first.Out.V + toSite * first.Out.W) / ray;
            const double angular =
                sampled > 0.0
                    ? ScatteringDensity(*tissue_, energy_, cosToRay, first.Coherent) / sampled
                    : 1.0;
            const double spread = toRow / toSite;
            weight = spread * spread * cosRay * cosRay *
                     std::exp(-mu_ * (1.0 / cosRay - 1.0) * first.Depth) * angular;
        }
        const double t = radius / CellGrid::kRingWidth;
        if (!(t < CellGrid::kRings)) {
            continue;
        }
        const std::size_t cell = *row * CellGrid::kRings + static_cast<std::size_t>(t);
        sets_.Score(k, cell, energy * weight, history);
    }
}

ScatterKernelTable DivergentKernel(const DivergentKernelTally& tally, std::size_t set) {
    ScatterKernelTable kernel{};
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
            kernel[ring + 1][row + 1] =
                tally.Cells(set).Mean(row * CellGrid::kRings + ring, tally.Histories()) /
                tally.RowMassThickness();
        }
    }
    return kernel;
}

RowStatistics DivergentRowStatistics(const DivergentKernelTally& tally, double floor) {
    RowStatistics worst;
    for (std::size_t k = 0; k < tally.Fsds().size(); ++k) {
        const RowStatistics s =
            RowSumStatistics(tally.Rows(k), tally.Histories(), CellGrid::kRows, floor);
        worst.RowsTested = std::max(worst.RowsTested, s.RowsTested);
        if (s.WorstUncertainty > worst.WorstUncertainty) {
            worst.WorstUncertainty = s.WorstUncertainty;
            worst.WorstRow = s.WorstRow;
        }
    }
    return worst;
}

DivergentKernelTally
RunDivergentKernels(const TissueModel& tissue, const RunSettings& settings,
                    const std::vector<double>& fsds,
                    const std::function<void(const DivergentKernelTally&)>& progress) {
    return RunPencilBatches<DivergentKernelTally>(
        tissue, settings,
        [&] { return std::make_unique<DivergentKernelTally>(tissue, settings.Energy, fsds); },
        [&](const DivergentKernelTally& total) {
            return DivergentRowStatistics(total, settings.ScatterFloor).WorstUncertainty;
        },
        progress);
}

std::string DivergentRunHeader() {
    return "fsd_cm,energy_keV,histories,rows_tested,worst_row_relative_sigma,worst_row\n";
}

std::string DivergentRunLines(double energy, const DivergentKernelTally& tally, double floor) {
    std::string text;
    for (std::size_t k = 0; k < tally.Fsds().size(); ++k) {
        const RowStatistics s =
            RowSumStatistics(tally.Rows(k), tally.Histories(), CellGrid::kRows, floor);
        text += FormatC("%.0f", tally.Fsds()[k]) + "," + FormatC("%.0f", energy) + "," +
                std::to_string(tally.Histories()) + "," + std::to_string(s.RowsTested) + "," +
                FormatC("%.3e", s.WorstUncertainty) + "," + std::to_string(s.WorstRow) + "\n";
    }
    return text;
}

std::string DivergentRowHeader() {
    return "fsd_cm,energy_keV,row,scatter_keV_cm2_per_g,scatter_sigma\n";
}

std::string DivergentRowLines(double energy, const DivergentKernelTally& tally) {
    const std::uint64_t n = tally.Histories();
    std::string text;
    for (std::size_t k = 0; k < tally.Fsds().size(); ++k) {
        for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
            text += FormatC("%.0f", tally.Fsds()[k]) + "," + FormatC("%.0f", energy) + "," +
                    std::to_string(row + 1) + "," +
                    FormatC("%.6e", tally.Rows(k).Mean(row, n) / tally.RowMassThickness()) + "," +
                    FormatC("%.3e", tally.Rows(k).Uncertainty(row, n) / tally.RowMassThickness()) +
                    "\n";
        }
    }
    return text;
}

} // namespace veltrim::mc
