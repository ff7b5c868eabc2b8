// The kernels' self-checks, and the statistical uncertainty that their
// per-row statistics give the PDD.
#include "tools/mc/KernelCheck.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <cmath>

namespace veltrim::validate {
namespace {

// Relative 1-sigma of the scatter row sums, [node k][row], from statistics.csv.
const std::vector<DepthProfile>& KernelRowSigma(const Engine& calc) {
    static std::vector<DepthProfile> sigma;
    if (!sigma.empty())
        return sigma;
    sigma.assign(29, {});
    const auto rows = mc::ReadCsv(calc.DataFolder() / "PDS-data" / "statistics.csv");
    for (std::size_t k = 1; k < rows.size(); ++k) { // line 0 is the header
        const auto& f = rows[k];
        if (f.size() < 6)
            continue;
        const int energy = std::stoi(f[0]);
        const int row = std::stoi(f[1]);
        const double value = std::stod(f[4]);
        const double s = std::stod(f[5]);
        if (row >= 1 && row <= 80 && energy >= 10 && energy <= 150)
            sigma[(energy - 10) / 5][row] = value > 0 ? s / value : 0.0;
    }
    return sigma;
}

} // namespace

double AtDepth(const DepthProfile& rows, double depth) {
    const int below = static_cast<int>(std::lround(2 * depth)); // row ending at the depth
    return 0.5 * (rows[below] + rows[below + 1]);
}

std::vector<IrradiationConditions> TypicalBeams() {
    std::vector<IrradiationConditions> beams;
    for (double fsd : {60.0, 100.0})
        for (double kv : {60.0, 80.0, 100.0, 120.0})
            for (double side : {10.0, 20.0, 30.0}) {
                IrradiationConditions b = ReferenceBeam();
                b.TubeVoltage = kv;
                b.Fsd = fsd;
                b.FieldX = side;
                b.FieldY = side;
                beams.push_back(b);
            }
    return beams;
}

DepthProfile PddStatisticalSigma(const Engine& calc, const IrradiationConditions& beam) {
    const auto& relative = KernelRowSigma(calc);
    const DepthDose dose = calc.Compute(beam, DepthDoseRules{});
    const EnergyTable spectrum = calc.Spectrum(beam);
    const int topBin = static_cast<int>(std::floor(2 * beam.TubeVoltage));
    DepthProfile absolute{}; // 1-sigma of the total dose of a row
    for (int d = 1; d <= dose.Rows; ++d) {
        // Sensitivity of the row's scatter dose to each node's value, times that
        // node's relative uncertainty; nodes are independent runs.
        std::array<double, 29> coefficient{};
        for (int i = 21; i <= topBin; ++i) {
            const double X = dose.ScatterByEnergy[i][d];
            if (i % 10 == 0) {
                coefficient[i / 10 - 2] += spectrum[i] * X;
                continue;
            }
            int j = 20;
            while (0.5 * i >= 0.5 * j)
                j += 10;
            const double t = (0.5 * j - 0.5 * i) / 5; // weight of the lower node
            const double H = dose.ScatterByEnergy[j][d];
            const double L = dose.ScatterByEnergy[j - 10][d];
            const bool logarithmic = H > 0 && L > 0;
            coefficient[j / 10 - 2] += spectrum[i] * (1 - t) * (logarithmic ? X : H);
            coefficient[j / 10 - 3] += spectrum[i] * t * (logarithmic ? X : L);
        }
        double variance = 0;
        for (int k = 0; k < 29; ++k) {
            const double s = coefficient[k] * relative[k][d];
            variance += s * s;
        }
        absolute[d] = std::sqrt(variance);
    }
    DepthProfile sigma{};
    const double total1 = dose.PrimaryDose[1] + dose.ScatterDose[1];
    for (int d = 2; d <= dose.Rows; ++d) {
        const double totalD = dose.PrimaryDose[d] + dose.ScatterDose[d];
        sigma[d] = std::sqrt(std::pow(absolute[d] / totalD, 2) + std::pow(absolute[1] / total1, 2));
    }
    return sigma;
}

KernelStudy StudyKernels(const Engine& calc) {
    KernelStudy out;
    out.SelfChecks = mc::RunKernelChecks(calc.DataFolder(), out.SelfChecksPassed);
    for (const IrradiationConditions& b : TypicalBeams()) {
        if (b.Fsd != 100)
            continue;
        const auto sigma = PddStatisticalSigma(calc, b);
        KernelStudy::Row row{b, {}};
        for (std::size_t k = 0; k < TableDepths.size(); ++k) {
            row.Sigma[k] = AtDepth(sigma, TableDepths[k]);
            out.WorstSigma = std::max(out.WorstSigma, row.Sigma[k]);
        }
        out.Rows.push_back(row);
    }
    return out;
}

} // namespace veltrim::validate
