#pragma once

#include <cmath>
#include <cstddef>
#include <optional>

namespace veltrim::mc {

struct Position {
    double X = 0.0, Y = 0.0, Z = 0.0; // cm; z is depth below the entrance face
};

// The phantom: a homogeneous cylinder of the tissue, its axis the beam axis,
// its entrance face the plane z = 0.
struct Phantom {
    double Radius = 60.0;    // cm
    double Thickness = 60.0; // cm

    bool Contains(const Position& p) const {
        return p.Z >= 0.0 && p.Z <= Thickness && p.X * p.X + p.Y * p.Y <= Radius * Radius;
    }
};

// The scoring cells: depth rows of 0.5 cm from the entrance face and rings of
// 0.5 cm around the axis, 80 of each (40 cm deep, 40 cm out).
struct CellGrid {
    static constexpr int kRows = 80;
    static constexpr int kRings = 80;
    static constexpr double kRowThickness = 0.5; // cm
    static constexpr double kRingWidth = 0.5;    // cm

    // Row index (0-based, row a = index + 1) of a depth, if scored.
    static std::optional<std::size_t> RowOf(double z) {
        const double t = z / kRowThickness;
        if (!(t >= 0.0) || t >= kRows) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(t);
    }

    // Cell index row * kRings + ring (both 0-based), if the point is scored.
    static std::optional<std::size_t> CellOf(const Position& p) {
        const auto row = RowOf(p.Z);
        if (!row) {
            return std::nullopt;
        }
        const double t = std::sqrt(p.X * p.X + p.Y * p.Y) / kRingWidth;
        if (t >= kRings) {
            return std::nullopt;
        }
        return *row * kRings + static_cast<std::size_t>(t);
    }
};

} // namespace veltrim::mc
