#include "tools/mc/DirectRun.h"

#include "core/CFormat.h"

#include <cmath>
#include <stdexcept>

namespace veltrim::mc {
namespace {

// Uncollided dose on the axis averaged over row a (from 1), per unit axis
// fluence at the entrance face: dose factor x exp(-mu z) x f^2 / (f + z)^2.
double PrimaryRowAverage(const AxisEstimator& estimator, double E, double fsd, int row) {
    static constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                         0.9602898564975363};
    static constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873,
                                           0.2223810344533745, 0.1012285362903763};
    const double middle = (row - 0.5) * CellGrid::kRowThickness;
    const double half = 0.5 * CellGrid::kRowThickness;
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

} // namespace

DirectResult RunDirect(const TissueModel& tissue, const AxisEstimator& estimator,
                       const EnergyTable& spectrum, const IrradiationConditions& conditions,
                       FocusRunSettings settings, double importanceFactor, double importanceSpan) {
    const int lastBin = static_cast<int>(std::floor(2.0 * conditions.TubeVoltage));
    const bool circle = conditions.FieldY == 0.0;
    const double halfX = 0.5 * std::max(conditions.FieldX, conditions.FieldY);
    const double halfY = 0.5 * std::min(conditions.FieldX, conditions.FieldY);
    const Focus focus{conditions.Fsd};
    const FieldSource source(focus, spectrum, 21, lastBin, halfX, circle ? halfX : halfY, circle);
    settings.RingCells = false;
    settings.Importance = DepthImportanceFor(tissue.At(source.MeanEnergy()).Total(),
                                             importanceFactor, importanceSpan);
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
        double primary = 0.0;
        for (int i = 21; i <= lastBin; ++i) {
            primary += spectrum[static_cast<std::size_t>(i)] *
                       PrimaryRowAverage(estimator, 0.5 * i, conditions.Fsd, a);
        }
        result.Primary[static_cast<std::size_t>(a)] = primary;
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
    return text;
}

} // namespace veltrim::mc
