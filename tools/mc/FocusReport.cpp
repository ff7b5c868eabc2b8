#include "tools/mc/FocusReport.h"

#include "core/CFormat.h"
#include "tools/mc/FocusRun.h"

namespace veltrim::mc {

double InverseSquareAtRow(const Focus& focus, int row) {
    if (focus.Parallel()) {
        return 1.0;
    }
    const double distance = focus.Fsd + (row - 0.5) * CellGrid::kRowThickness;
    return focus.Fsd * focus.Fsd / (distance * distance);
}

ScatterKernelTable FocusKernel(const FocusTally& tally, const Focus& focus) {
    ScatterKernelTable kernel{};
    for (int a = 1; a <= tally.Rows(); ++a) {
        const double perPlaneFluence = 1.0 / InverseSquareAtRow(focus, a);
        for (int c = 1; c <= CellGrid::kRings; ++c) {
            const auto bin = static_cast<std::size_t>((a - 1) * CellGrid::kRings + (c - 1));
            kernel[static_cast<std::size_t>(c)][static_cast<std::size_t>(a)] =
                tally.ScatterCells.Mean(bin, tally.Histories()) * perPlaneFluence;
        }
    }
    return kernel;
}

std::string FocusRunHeader() {
    return "energy_keV,histories,incident_keV_cm2,incident_sigma,primary_deposit_keV_cm2,"
           "primary_sigma,scatter_deposit_keV_cm2,scatter_sigma,escaping_keV_cm2,escaping_sigma,"
           "balance_residual_relative,rows_tested,worst_row_relative_sigma,worst_row\n";
}

std::string FocusRunLine(double energy, const FocusTally& tally, double scatterFloor) {
    const std::uint64_t n = tally.Histories();
    const ScoringArray& b = tally.Balance;
    std::string line = FormatC("%.0f", energy) + "," + std::to_string(n);
    for (std::size_t bin : {kIncident, kPrimaryAnywhere, kScatterAnywhere, kEscaping}) {
        line +=
            "," + FormatC("%.9e", b.Mean(bin, n)) + "," + FormatC("%.3e", b.Uncertainty(bin, n));
    }
    const double incident = b.Mean(kIncident, n);
    const double out =
        b.Mean(kPrimaryAnywhere, n) + b.Mean(kScatterAnywhere, n) + b.Mean(kEscaping, n);
    const RowStatistics rows = FocusRowStatistics(tally, scatterFloor, tally.Rows());
    line += "," + FormatC("%.3e", (out - incident) / incident) + "," +
            std::to_string(rows.RowsTested) + "," + FormatC("%.3e", rows.WorstUncertainty) + "," +
            std::to_string(rows.WorstRow) + "\n";
    return line;
}

std::string FocusRowHeader() {
    return "energy_keV,row,tube_primary_keV_cm2_per_g,primary_sigma,scatter_keV_cm2_per_g,"
           "scatter_sigma\n";
}

std::string FocusRowLines(double energy, const FocusTally& tally, const Focus& focus) {
    const std::uint64_t n = tally.Histories();
    std::string text;
    for (int a = 1; a <= tally.Rows(); ++a) {
        const auto row = static_cast<std::size_t>(a - 1);
        const double perPlane = 1.0 / InverseSquareAtRow(focus, a);
        text += FormatC("%.0f", energy) + "," + std::to_string(a);
        for (const ScoringArray* s : {&tally.PrimaryTube, &tally.ScatterRows}) {
            text += "," + FormatC("%.6e", s->Mean(row, n) * perPlane) + "," +
                    FormatC("%.3e", s->Uncertainty(row, n) * perPlane);
        }
        text += "\n";
    }
    return text;
}

} // namespace veltrim::mc
