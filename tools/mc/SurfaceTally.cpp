#include "tools/mc/SurfaceTally.h"

#include <algorithm>
#include <cmath>

namespace veltrim::mc {
namespace {

// A part in `ring`, joined to the previous part when that lies in the same
// ring (a path passing the axis turns from inwards to outwards in a ring).
void Add(std::vector<LayerPiece>& pieces, int ring, double length, const SurfaceLayer& layer) {
    if (ring >= layer.Rings) {
        return;
    }
    if (!pieces.empty() && pieces.back().Ring == ring) {
        pieces.back().Length += length;
    } else {
        pieces.push_back({ring, length});
    }
}

// Adds the parts of [s0, s1] of a flight along which the distance from the
// axis changes monotonically, r^2(s) = h2 + a (s - sNear)^2, outwards
// (outward) or inwards; boundaries met on the way split the part.
void MonotonePieces(double s0, double s1, double h2, double a, double sNear, bool outward,
                    const SurfaceLayer& layer, std::vector<LayerPiece>& pieces) {
    if (!(s1 > s0)) {
        return;
    }
    const auto ringAt = [&](double s) {
        const double r = std::sqrt(h2 + a * (s - sNear) * (s - sNear));
        return static_cast<int>(std::min(r / layer.RingWidth, double(layer.Rings)));
    };
    const int first = ringAt(s0);
    const int last = ringAt(s1);
    double from = s0;
    for (int ring = first; ring != last; ring += outward ? 1 : -1) {
        // The circle between this ring and the next one along the way.
        const double radius = (outward ? ring + 1 : ring) * layer.RingWidth;
        const double offset = std::sqrt(std::max(0.0, radius * radius - h2) / a);
        const double to = std::clamp(outward ? sNear + offset : sNear - offset, from, s1);
        Add(pieces, ring, to - from, layer);
        from = to;
    }
    Add(pieces, last, s1 - from, layer);
}

} // namespace

void LayerPieces(const FlightPath& path, const SurfaceLayer& layer,
                 std::vector<LayerPiece>& pieces) {
    pieces.clear();
    const Position& p = path.From;
    const Direction& d = path.D;
    double s0 = 0.0;
    double s1 = path.Length;
    if (d.W != 0.0) {
        const double top = -p.Z / d.W;
        const double bottom = (layer.Thickness - p.Z) / d.W;
        s0 = std::max(s0, std::min(top, bottom));
        s1 = std::min(s1, std::max(top, bottom));
    } else if (p.Z < 0.0 || p.Z > layer.Thickness) {
        return;
    }
    if (!(s1 > s0)) {
        return;
    }
    const double a = d.U * d.U + d.V * d.V;
    if (a == 0.0) {
        MonotonePieces(s0, s1, p.X * p.X + p.Y * p.Y, 0.0, 0.0, true, layer, pieces);
        return;
    }
    // Closest approach to the axis at sNear, at distance sqrt(h2): the cross
    // product keeps h2 accurate for paths that pass close to the axis.
    const double sNear = -(p.X * d.U + p.Y * d.V) / a;
    const double cross = p.X * d.V - p.Y * d.U;
    const double h2 = cross * cross / a;
    MonotonePieces(s0, std::min(s1, sNear), h2, a, sNear, false, layer, pieces);
    MonotonePieces(std::max(s0, sNear), s1, h2, a, sNear, true, layer, pieces);
}

SurfaceTally::SurfaceTally(const KermaFactors& kerma, const SurfaceLayer& layer)
    : kerma_(&kerma), layer_(layer), tissue_(kBins), air_(kBins) {}

void SurfaceTally::Flight(const FlightPath& path, std::uint64_t history) {
    LayerPieces(path, layer_, pieces_);
    if (pieces_.empty()) {
        return;
    }
    // Per cm of path in the layer: the weight times K(E') over the layer's
    // thickness, keV cm2/g per cm.
    const double perLength = path.Weight / layer_.Thickness;
    const double tissue = perLength * kerma_->Tissue(path.Energy);
    const double air = perLength * kerma_->Air(path.Energy);
    const auto score = [&](ScoringArray& medium, int ring, double value) {
        if (!path.Scattered) {
            medium.Score(kPrimary, value, history);
            return;
        }
        medium.Score(static_cast<std::size_t>(ring), value, history);
        medium.Score(kSumAll, value, history);
        if (ring < kInnerRings) {
            medium.Score(kSumInner, value, history);
        }
    };
    for (const LayerPiece& piece : pieces_) {
        score(tissue_, piece.Ring, tissue * piece.Length);
        score(air_, piece.Ring, air * piece.Length);
    }
}

} // namespace veltrim::mc
