#include "tools/mc/RunReport.h"

#include "core/CFormat.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"

#include <cmath>

namespace veltrim::mc {

std::string RunSummaryHeader() {
    return "energy_keV,histories,primary_deposit_keV,primary_sigma,scatter_deposit_keV,scatter_"
           "sigma,"
           "escaping_keV,escaping_sigma,balance_residual_keV,rows_tested,worst_row_relative_sigma,"
           "worst_row\n";
}

std::string RunSummaryLine(double energy, const KernelTally& tally, double scatterFloor) {
    const std::uint64_t n = tally.Histories();
    const ScoringArray& b = tally.Balance();
    const double primary = b.Mean(kPrimaryAnywhere, n);
    const double scatter = b.Mean(kScatterAnywhere, n);
    const double escaping = b.Mean(kEscaping, n);
    const RowStatistics rows = ScatterRowStatistics(tally, scatterFloor);
    std::string line = FormatC("%.0f", energy) + "," + std::to_string(n);
    for (std::size_t bin : {kPrimaryAnywhere, kScatterAnywhere, kEscaping}) {
        line +=
            "," + FormatC("%.9e", b.Mean(bin, n)) + "," + FormatC("%.3e", b.Uncertainty(bin, n));
    }
    line += "," + FormatC("%.3e", primary + scatter + escaping - energy);
    line += "," + std::to_string(rows.RowsTested) + "," + FormatC("%.3e", rows.WorstUncertainty) +
            "," + std::to_string(rows.WorstRow) + "\n";
    return line;
}

std::string RowStatisticsHeader() {
    return "energy_keV,row,primary_keV_cm2_per_g,primary_sigma,scatter_keV_cm2_per_g,scatter_"
           "sigma\n";
}

std::string RowStatisticsLines(double energy, const KernelTally& tally) {
    const std::uint64_t n = tally.Histories();
    std::string text;
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        text += FormatC("%.0f", energy) + "," + std::to_string(row + 1);
        for (const ScoringArray* a : {&tally.PrimaryRows(), &tally.ScatterRows()}) {
            text += "," + FormatC("%.6e", a->Mean(row, n) / tally.RowMassThickness()) + "," +
                    FormatC("%.3e", a->Uncertainty(row, n) / tally.RowMassThickness());
        }
        text += "\n";
    }
    return text;
}

} // namespace veltrim::mc
