#include "engine/DosePlane.h"

#include <array>
#include <cmath>

namespace veltrim {
namespace {

struct Corner {
    double Lateral, Depth, Dose;
};

// Where the level lies between two corners, one at or above it.
Corner Crossing(const Corner& a, const Corner& b, double level) {
    const double t = a.Dose > 0 && b.Dose > 0 ? (std::log(level) - std::log(a.Dose)) /
                                                    (std::log(b.Dose) - std::log(a.Dose))
                                              : (level - a.Dose) / (b.Dose - a.Dose);
    return {a.Lateral + t * (b.Lateral - a.Lateral), a.Depth + t * (b.Depth - a.Depth), level};
}

} // namespace

double DosePlane::Depth(int row) const {
    return LayerMiddle(row + 1);
}

DosePlane PlaneOfMap(const BeamResult& beam, const DoseGrid& map, LateralAxis axis) {
    DosePlane plane;
    plane.Rows = beam.DepthDose->Rows;
    plane.Total.assign(std::size_t(plane.Rows * plane.Columns), std::nan(""));
    for (std::size_t k = 0; k < map.Points.size(); ++k) {
        const MapCell cell = MapCellOf(map.Points[k], axis);
        plane.Total[std::size_t(cell.Row * plane.Columns + cell.Column)] =
            PointPercent(beam, map.Doses[k].Primary + map.Doses[k].Scatter);
    }
    return plane;
}

std::vector<IsodoseSegment> IsodoseLine(const DosePlane& plane, double level) {
    std::vector<IsodoseSegment> line;
    for (int r = 0; r + 1 < plane.Rows; ++r) {
        for (int c = 0; c + 1 < plane.Columns; ++c) {
            // Round the cell: top left, top right, bottom right, bottom left.
            const std::array<Corner, 4> k{{
                {plane.Lateral(c), plane.Depth(r), plane.At(r, c)},
                {plane.Lateral(c + 1), plane.Depth(r), plane.At(r, c + 1)},
                {plane.Lateral(c + 1), plane.Depth(r + 1), plane.At(r + 1, c + 1)},
                {plane.Lateral(c), plane.Depth(r + 1), plane.At(r + 1, c)},
            }};
            int above = 0;
            bool known = true;
            for (int i = 0; i < 4; ++i) {
                known = known && std::isfinite(k[std::size_t(i)].Dose);
                if (k[std::size_t(i)].Dose >= level)
                    above |= 1 << i;
            }
            if (!known || above == 0 || above == 15)
                continue;
            // The crossings on the edges whose corners lie on either side.
            std::array<Corner, 4> cross{};
            int n = 0;
            for (int i = 0; i < 4; ++i) {
                const int j = (i + 1) % 4;
                if (((above >> i) & 1) != ((above >> j) & 1)) {
                    cross[std::size_t(n++)] = Crossing(k[std::size_t(i)], k[std::size_t(j)], level);
                }
            }
            const auto add = [&line](const Corner& a, const Corner& b) {
                line.push_back({a.Lateral, a.Depth, b.Lateral, b.Depth});
            };
            if (n == 2) {
                add(cross[0], cross[1]);
                continue;
            }
            // A saddle: two opposite corners above the level. Where the
            // cell's mean is above it too, the line joins them and cuts off
            // corners 1 and 3 (edge i runs from corner i to corner i + 1).
            const double mean = (k[0].Dose + k[1].Dose + k[2].Dose + k[3].Dose) / 4;
            const bool cornerZeroAbove = (above & 1) != 0;
            if ((mean >= level) == cornerZeroAbove) {
                add(cross[0], cross[1]);
                add(cross[2], cross[3]);
            } else {
                add(cross[3], cross[0]);
                add(cross[1], cross[2]);
            }
        }
    }
    return line;
}

} // namespace veltrim
