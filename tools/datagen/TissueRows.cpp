#include "tools/datagen/TissueRows.h"

#include "dose/TissueTables.h"

#include <cmath>
#include <stdexcept>

namespace veltrim::datagen {
namespace {

constexpr int FirstBin = 21;  // 10.5 keV
constexpr int LastBin = 300;  // 150 keV
constexpr int FirstNode = 20; // 10 keV, the first row

double BinEnergy(int bin) {
    return 0.5 * bin;
}

double SegmentError(const std::vector<double>& xraylibTotal, const TissueRow& lo,
                    const TissueRow& hi, int fromBin, int toBin) {
    const std::vector<TissueRow> pair{lo, hi};
    double worst = 0.0;
    for (int bin = fromBin; bin <= toBin; ++bin) {
        const double E = BinEnergy(bin);
        const double error = std::fabs(InterpolatedTotal(pair, E) / xraylibTotal[bin] - 1.0);
        worst = std::max(worst, error);
    }
    return worst;
}

// Greedy placement for one tolerance: node bins (on the 0.5-keV grid, the
// last one lastBin), or an empty list when some single bin step already
// exceeds the tolerance.
std::vector<int> PlaceNodes(const std::vector<TissueRow>& partials,
                            const std::vector<double>& total, double tolerance, int lastBin) {
    std::vector<int> nodes{FirstNode};
    while (nodes.back() < lastBin) {
        const int from = nodes.back();
        int best = -1;
        for (int next = from + 1; next <= lastBin; ++next) {
            const int toBin = std::min(next - 1, LastBin);
            const int fromBin = std::max(from, FirstBin);
            if (toBin >= fromBin &&
                SegmentError(total, partials[from], partials[next], fromBin, toBin) > tolerance) {
                break;
            }
            best = next;
        }
        if (best < 0) {
            return {};
        }
        nodes.push_back(best);
    }
    return nodes;
}

} // namespace

TissueRow PartialCoefficients(const xrl::Material& material, double E) {
    return TissueRow{E, xrl::CS_Rayl(material, E) * material.Density,
                     xrl::CS_Compt(material, E) * material.Density,
                     xrl::CS_Photo(material, E) * material.Density};
}

double InterpolatedTotal(const std::vector<TissueRow>& rows, double E) {
    if (rows.size() > static_cast<std::size_t>(TissueRowCapacity))
        throw std::invalid_argument("more tissue rows than the reader holds");
    TissueRows table{};
    for (std::size_t k = 0; k < rows.size(); ++k)
        table[k + 1] = {rows[k].Coherent, rows[k].Incoherent, rows[k].Photoelectric,
                        rows[k].EnergyKeV};
    return TissueAttenuation(table, static_cast<int>(rows.size()), E);
}

InterpolationError MeasureInterpolationError(const std::vector<TissueRow>& rows,
                                             const xrl::Material& material) {
    InterpolationError result;
    for (int bin = FirstBin; bin <= LastBin; ++bin) {
        const double E = BinEnergy(bin);
        const double reference = xrl::LinearAttenuation(material, E);
        const double error = std::fabs(InterpolatedTotal(rows, E) / reference - 1.0);
        if (error > result.MaxRelative) {
            result = {error, E};
        }
    }
    return result;
}

std::vector<double> ChooseTissueEnergies(const xrl::Material& material, int maxRows,
                                         double lastKeV) {
    const int lastBin = static_cast<int>(std::lround(2.0 * lastKeV));
    if (lastBin <= LastBin || std::fabs(BinEnergy(lastBin) - lastKeV) > 0.0) {
        throw std::invalid_argument(
            "the last tissue row must lie above 150 keV on the 0.5-keV grid");
    }
    std::vector<TissueRow> partials(lastBin + 1);
    std::vector<double> total(lastBin + 1, 0.0);
    for (int bin = FirstNode; bin <= lastBin; ++bin) {
        partials[bin] = PartialCoefficients(material, BinEnergy(bin));
        total[bin] = xrl::LinearAttenuation(material, BinEnergy(bin));
    }
    double low = 0.0;   // a tolerance known to need too many rows (or none)
    double high = 0.05; // a tolerance known to be reachable
    std::vector<int> best = PlaceNodes(partials, total, high, lastBin);
    if (best.empty() || static_cast<int>(best.size()) > maxRows) {
        throw std::runtime_error("tissue rows: even a 5 % tolerance needs too many rows");
    }
    for (int step = 0; step < 60; ++step) {
        const double middle = 0.5 * (low + high);
        std::vector<int> nodes = PlaceNodes(partials, total, middle, lastBin);
        if (!nodes.empty() && static_cast<int>(nodes.size()) <= maxRows) {
            high = middle;
            best = std::move(nodes);
        } else {
            low = middle;
        }
    }
    std::vector<double> energies;
    for (int bin : best) {
        energies.push_back(BinEnergy(bin));
    }
    return energies;
}

} // namespace veltrim::datagen
