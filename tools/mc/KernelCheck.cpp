#include "tools/mc/KernelCheck.h"

#include "core/CFormat.h"
#include "core/DataFile.h"
#include "dose/ScatterKernels.h"
#include "dose/TissueTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace veltrim::mc {
namespace {

constexpr int kNodes = 29;
constexpr int kRows = 80;
constexpr int kRings = 80;
constexpr double kRowThickness = 0.5;

int NodeEnergy(int node) {
    return 10 + 5 * node;
}

} // namespace

double RowAverageAttenuation(double mu, double z0, double z1) {
    return (std::exp(-mu * z0) - std::exp(-mu * z1)) / (mu * (z1 - z0));
}

double RowAverageOverMiddle(double mu, double dz) {
    const double x = 0.5 * mu * dz;
    return std::sinh(x) / x;
}

namespace {

// Share of the circle of radius r inside the rectangle: in one quadrant the
// circle is inside between the angle where it leaves x <= hx and the angle
// where it leaves y <= hy (angles from the x axis).
double CircleShare(double r, double hx, double hy) {
    const double from = std::acos(std::min(1.0, hx / r));
    const double to = std::asin(std::min(1.0, hy / r));
    return std::max(0.0, to - from) / (0.5 * std::numbers::pi);
}

// 8-point Gauss-Legendre nodes and weights on [-1, 1].
constexpr std::array<double, 8> kGaussNodes = {
    -0.9602898564975363, -0.7966664774136267, -0.5255324099163290, -0.1834346424956498,
    0.1834346424956498,  0.5255324099163290,  0.7966664774136267,  0.9602898564975363};
constexpr std::array<double, 8> kGaussWeights = {
    0.1012285362903763, 0.2223810344533745, 0.3137066458778873, 0.3626837833783620,
    0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};

} // namespace

double RectangleRingShare(double rIn, double rOut, double hx, double hy) {
    // Break points where the integrand has a kink: the sides and the corner.
    std::vector<double> cuts{rIn, rOut};
    for (double b : {hx, hy, std::hypot(hx, hy)}) {
        if (b > rIn && b < rOut) {
            cuts.push_back(b);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    constexpr int kPieces = 16;
    double inside = 0.0;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double h = (cuts[k + 1] - cuts[k]) / kPieces;
        for (int p = 0; p < kPieces; ++p) {
            const double mid = cuts[k] + (p + 0.5) * h;
            for (std::size_t g = 0; g < kGaussNodes.size(); ++g) {
                const double r = mid + 0.5 * h * kGaussNodes[g];
                inside += 0.5 * h * kGaussWeights[g] * r * CircleShare(r, hx, hy);
            }
        }
    }
    // Integral of r dr over the ring.
    return inside / (0.5 * (rOut * rOut - rIn * rIn));
}

std::vector<std::vector<std::string>> ReadCsv(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open " + path.string());
    }
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) {
            fields.push_back(field);
        }
        rows.push_back(fields);
    }
    return rows;
}

namespace {

struct RowStats {
    double Primary[kRows] = {};
    double PrimarySigma[kRows] = {};
    double Scatter[kRows] = {};
    double ScatterSigma[kRows] = {};
};

double Number(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    if (!in) {
        throw std::runtime_error("not a number in a statistics file: " + text);
    }
    return value;
}

} // namespace

std::string RunKernelChecks(const std::filesystem::path& dataFolder, bool& passed) {
    passed = true;
    const TissueTables tissue = ReadTissueTables(dataFolder);
    const auto tissueMu = [&tissue](double E) {
        return TissueAttenuation(tissue.Rows, tissue.RowCount, E);
    };
    // Node n (0..28) of the primary-dose factors, 10 + 5n keV.
    const auto primaryFactor = [&tissue](int node) { return tissue.PrimaryDoseNodes[node + 2]; };
    const std::filesystem::path kernels = dataFolder / KernelFolder;

    std::vector<RowStats> stats(kNodes);
    std::vector<bool> seen(kNodes, false);
    const auto statistics = ReadCsv(kernels / "statistics.csv");
    for (std::size_t k = 1; k < statistics.size(); ++k) {
        const auto& f = statistics[k];
        if (f.size() < 6) {
            continue;
        }
        const int energy = static_cast<int>(Number(f[0]));
        const int row = static_cast<int>(Number(f[1])) - 1;
        const int node = (energy - 10) / 5;
        if (node < 0 || node >= kNodes || NodeEnergy(node) != energy || row < 0 || row >= kRows) {
            continue;
        }
        seen[node] = true;
        stats[node].Primary[row] = Number(f[2]);
        stats[node].PrimarySigma[row] = Number(f[3]);
        stats[node].Scatter[row] = Number(f[4]);
        stats[node].ScatterSigma[row] = Number(f[5]);
    }

    std::string out;
    const auto verdict = [&](bool ok) {
        passed = passed && ok;
        return ok ? "pass" : "FAIL";
    };

    // 1. Primary per row against Primary.dat x exp(-mu z) averaged over the row.
    out += "1. Primary dose per row (summed over rings) against Primary.dat x exp(-mu z) averaged "
           "over the row\n";
    out += "   rows compared: those whose Monte Carlo primary has a relative 1-sigma below 2 %\n";
    out += "   E keV  rows  mean MC/table (1-sigma)  max |dev| %  max |dev|/sigma  "
           "row-average/middle  verdict\n";
    for (int node = 0; node < kNodes; ++node) {
        if (!seen[node]) {
            out += "   " + std::to_string(NodeEnergy(node)) + ": no statistics\n";
            passed = false;
            continue;
        }
        const double E = NodeEnergy(node);
        const double mu = tissueMu(E);
        int rows = 0;
        double sumW = 0.0;
        double sumWR = 0.0;
        double maxDev = 0.0;
        double maxPull = 0.0;
        bool ok = true;
        for (int row = 0; row < kRows; ++row) {
            const double mc = stats[node].Primary[row];
            const double sigma = stats[node].PrimarySigma[row];
            if (!(mc > 0.0) || sigma > 0.02 * mc) {
                continue;
            }
            const double table =
                primaryFactor(node) *
                RowAverageAttenuation(mu, row * kRowThickness, (row + 1) * kRowThickness);
            const double ratio = mc / table;
            const double ratioSigma = sigma / table;
            sumW += 1.0 / (ratioSigma * ratioSigma);
            sumWR += ratio / (ratioSigma * ratioSigma);
            maxDev = std::max(maxDev, std::fabs(ratio - 1.0));
            maxPull = std::max(maxPull, std::fabs(mc - table) / sigma);
            // Within 1 % of the table, allowing for 4 sigma of the tally.
            ok = ok && std::fabs(mc - table) <= 0.01 * table + 4.0 * sigma;
            ++rows;
        }
        const double mean = sumWR / sumW;
        const double meanSigma = 1.0 / std::sqrt(sumW);
        ok = ok && rows > 0 && std::fabs(mean - 1.0) <= 0.01 + 3.0 * meanSigma;
        char line[200];
        std::snprintf(
            line, sizeof line,
            "   %5.0f  %4d  %.4f (%.4f)          %6.2f       %6.2f           %.4f           %s\n",
            E, rows, mean, meanSigma, 100.0 * maxDev, maxPull,
            RowAverageOverMiddle(mu, kRowThickness), verdict(ok));
        out += line;
    }

    // 2. Energy balance.
    out += "\n2. Energy balance per incident photon (keV): primary + scatter deposits anywhere + "
           "escaping = E\n";
    out += "   E keV  histories     primary    scatter    escaping   sum - E (1-sigma)  verdict\n";
    const auto runs = ReadCsv(kernels / "runs.csv");
    for (std::size_t k = 1; k < runs.size(); ++k) {
        const auto& f = runs[k];
        if (f.size() < 9) {
            continue;
        }
        const double E = Number(f[0]);
        const double p = Number(f[2]);
        const double s = Number(f[4]);
        const double e = Number(f[6]);
        const double sigma = std::sqrt(Number(f[3]) * Number(f[3]) + Number(f[5]) * Number(f[5]) +
                                       Number(f[7]) * Number(f[7]));
        const double residual = p + s + e - E;
        // The parts are correlated (they add up to E in every analog history),
        // so the quadrature sum of their sigmas bounds the residual's spread.
        const bool ok = std::fabs(residual) <= 4.0 * sigma + 1e-9 * E;
        char line[200];
        std::snprintf(line, sizeof line,
                      "   %5.0f  %10s  %9.4f  %9.4f  %9.4f   %+.4f (%.4f)   %s\n", E, f[1].c_str(),
                      p, s, e, residual, sigma, verdict(ok));
        out += line;
    }

    // 3. Broad-beam scatter-to-primary ratio on the axis, 30 cm x 30 cm.
    out += "\n3. Scatter-to-primary ratio on the axis, parallel 30 cm x 30 cm field (kernels x "
           "exact ring shares of "
           "the square)\n";
    out += "   E keV   row 1 (0-0.5 cm)   5 cm    10 cm\n";
    std::vector<double> shares(kRings);
    for (int ring = 0; ring < kRings; ++ring) {
        shares[ring] = RectangleRingShare(ring * 0.5, (ring + 1) * 0.5, 15.0, 15.0);
    }
    for (int node = 0; node < kNodes; ++node) {
        const double E = NodeEnergy(node);
        const std::filesystem::path file = kernels / KernelFile(NodeEnergy(node));
        if (!std::filesystem::exists(file)) {
            out += "   " + std::to_string(NodeEnergy(node)) + ": no kernel file\n";
            passed = false;
            continue;
        }
        ScatterKernelTable kernel{};
        NumberFile kernelFile(file);
        ReadKernelFile(kernelFile, kernel);
        const double mu = tissueMu(E);
        const auto ratio = [&](int row) {
            double scatter = 0.0;
            for (int ring = 0; ring < kRings; ++ring) {
                scatter += kernel[ring + 1][row + 1] * shares[ring];
            }
            const double z = (row + 0.5) * kRowThickness;
            return scatter / (primaryFactor(node) * std::exp(-mu * z));
        };
        // 5 cm and 10 cm lie on row boundaries: the mean of the two rows' middles.
        char line[160];
        std::snprintf(line, sizeof line, "   %5.0f   %8.3f          %7.3f  %7.3f\n", E, ratio(0),
                      0.5 * (ratio(9) + ratio(10)), 0.5 * (ratio(19) + ratio(20)));
        out += line;
    }
    return out;
}

} // namespace veltrim::mc
