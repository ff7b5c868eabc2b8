#include "tools/mc/SlabTally.h"

#include "core/CFormat.h"
#include "core/FileReplacing.h"
#include "tools/mc/KernelFile.h"

#include <cmath>
#include <memory>
#include <utility>

namespace veltrim::mc {

SlabKernelTally::SlabKernelTally(double density, std::vector<double> thicknesses)
    : whole_(density), thicknesses_(std::move(thicknesses)), lost_(thicknesses_.size()) {}

void SlabKernelTally::Deposit(const Position& p, double energy, bool scattered,
                              std::uint64_t history) {
    whole_.Deposit(p, energy, scattered, history);
}

void SlabKernelTally::Escape(double energy, std::uint64_t history) {
    whole_.Escape(energy, history);
}

void SlabKernelTally::ScatterDeposit(const Position& p, double energy, const FirstScattering& first,
                                     std::uint64_t history) {
    whole_.Deposit(p, energy, true, history);
    const auto cell = CellGrid::CellOf(p);
    if (!cell) {
        return;
    }
    for (std::size_t k = 0; k < thicknesses_.size(); ++k) {
        // Only lines that went below the slab and came back into it.
        if (first.Deepest > thicknesses_[k] && p.Z < thicknesses_[k]) {
            lost_.Score(k, *cell, energy, history);
        }
    }
}

void SlabKernelTally::Finish(std::uint64_t histories) {
    whole_.Finish(histories);
    lost_.Finish();
}

SlabKernelTally& SlabKernelTally::operator+=(const SlabKernelTally& other) {
    whole_ += other.whole_;
    lost_ += other.lost_;
    return *this;
}

ScatterKernelTable SlabKernel(const SlabKernelTally& tally, std::size_t k) {
    ScatterKernelTable kernel = ScatterKernel(tally.Whole());
    const std::uint64_t n = tally.Histories();
    const double thickness = tally.Thicknesses()[k];
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        const bool inside = (static_cast<double>(row) + 0.5) * CellGrid::kRowThickness < thickness;
        for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
            double& value = kernel[ring + 1][row + 1];
            value = inside ? value - tally.LostCells(k).Mean(row * CellGrid::kRings + ring, n) /
                                         tally.Whole().RowMassThickness()
                           : 0.0;
        }
    }
    return kernel;
}

ScatterKernelTable ExitRatio(const SlabKernelTally& tally, std::size_t k) {
    const ScatterKernelTable whole = ScatterKernel(tally.Whole());
    const ScatterKernelTable slab = SlabKernel(tally, k);
    const int slabRows =
        static_cast<int>(std::floor(tally.Thicknesses()[k] / CellGrid::kRowThickness));
    ScatterKernelTable ratio{};
    for (int j = 1; j <= CellGrid::kRows; ++j) {
        const int row = slabRows - j + 1;
        for (int ring = 1; ring <= CellGrid::kRings; ++ring) {
            const auto c = static_cast<std::size_t>(ring);
            const auto a = static_cast<std::size_t>(row);
            ratio[c][static_cast<std::size_t>(j)] =
                row >= 1 && whole[c][a] > 0.0 ? slab[c][a] / whole[c][a] : 1.0;
        }
    }
    return ratio;
}

SlabKernelTally RunSlabKernels(const TissueModel& tissue, const RunSettings& settings,
                               const std::vector<double>& thicknesses) {
    return RunPencilBatches<SlabKernelTally>(
        tissue, settings,
        [&] { return std::make_unique<SlabKernelTally>(tissue.Material().Density, thicknesses); },
        [&](const SlabKernelTally& total) {
            return ScatterRowStatistics(total.Whole(), settings.ScatterFloor).WorstUncertainty;
        },
        {});
}

} // namespace veltrim::mc

namespace veltrim::mc {

std::string SlabLostHeader() {
    return "energy_keV,thickness_cm,row,scatter_keV_cm2_per_g,lost_keV_cm2_per_g,lost_sigma\n";
}

void WriteSlabFiles(const std::filesystem::path& out, int energy, const SlabKernelTally& tally,
                    const std::vector<bool>& exitRatio, std::string& lostLines) {
    const std::uint64_t n = tally.Histories();
    for (std::size_t k = 0; k < tally.Thicknesses().size(); ++k) {
        const double thickness = tally.Thicknesses()[k];
        const std::filesystem::path folder = out / ("slab-" + FormatC("%g", thickness));
        std::filesystem::create_directories(folder);
        ReplaceFileOrThrow(folder / KernelFile(energy), KernelFileText(SlabKernel(tally, k)));
        for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
            if ((static_cast<double>(row) + 0.5) * CellGrid::kRowThickness >= thickness) {
                break;
            }
            lostLines +=
                FormatC("%d", energy) + "," + FormatC("%g", thickness) + "," +
                FormatC("%zu", row + 1) + "," +
                FormatC("%.6e", tally.Whole().ScatterRows().Mean(row, n) /
                                    tally.Whole().RowMassThickness()) +
                "," +
                FormatC("%.6e", tally.LostRows(k).Mean(row, n) / tally.Whole().RowMassThickness()) +
                "," +
                FormatC("%.3e",
                        tally.LostRows(k).Uncertainty(row, n) / tally.Whole().RowMassThickness()) +
                "\n";
        }
        if (exitRatio[k]) {
            const std::filesystem::path exit = out / ("exit-" + FormatC("%g", thickness));
            std::filesystem::create_directories(exit);
            ReplaceFileOrThrow(exit / KernelFile(energy), KernelFileText(ExitRatio(tally, k)));
        }
    }
}

} // namespace veltrim::mc
