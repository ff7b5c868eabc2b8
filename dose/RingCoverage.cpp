// Ring coverage of a rectangular field on one quadrant: the quarter ring
// between r_in and r_out against the quarter field 0 <= x <= hx, 0 <= y <= hy.
// Every case keeps its closed form and its order of operations, since the
// depth-dose tables are reproduced to the last bit.
#include "dose/RingCoverage.h"

#include <cmath>

namespace veltrim {
namespace {

// Angle (from the axis perpendicular to the line) at which the circle of
// radius rho meets the line at distance h from the centre.
double CrossingAngle(double rho, double h) {
    return std::atan(std::sqrt(rho * rho - h * h) / h);
}

// Part of the quarter disc of radius rho beyond the line at distance h: the
// sector up to the crossing less the triangle under it.
double Segment(double rho, double h) {
    const double theta = CrossingAngle(rho, h);
    return 0.5 * rho * rho * theta - 0.5 * h * rho * std::sin(theta);
}

// Part of the quarter ring on the axis side of the line at distance h, for a
// ring whose inner circle reaches the line (r_in >= h): the sector of the ring
// beyond the inner crossing, less the sliver between the line and the outer
// circle.
double InsideLine(double rIn, double rOut, double h, double quarterArea, double pi) {
    const double a = CrossingAngle(rIn, h);
    const double b = CrossingAngle(rOut, h);
    return quarterArea * (pi / 2 - a) / (pi / 2) -
           (0.5 * rOut * rOut * (b - a) - 0.5 * (h / std::cos(a)) * rOut * std::sin(b - a));
}

// Region of the quarter field beyond the inner circle on one side of the
// diagonal to the corner, bounded by the inner circle, the diagonal and the
// line at distance h; other is the other half side.
double Corner(double rIn, double R, double h, double other) {
    const double a = CrossingAngle(rIn, h);
    const double c = std::atan(other / h);
    return 0.5 * (R * R - rIn * rIn) * (c - a) -
           (0.5 * R * R * (c - a) - 0.5 * (h / std::cos(a)) * R * std::sin(c - a));
}

// Area of {x > hx, y > hy, x^2 + y^2 < rho^2}, for rho beyond the corner
// distance: the sector between the two crossings less the two triangles from
// the origin to the corner. Cases D and E remove the parts beyond both lines
// separately; this is where those parts overlap, so it is added back once.
double BeyondCorner(double rho, double hx, double hy) {
    const double yOnX = std::sqrt(rho * rho - hx * hx); // crossing of x = hx
    const double xOnY = std::sqrt(rho * rho - hy * hy); // crossing of y = hy
    const double sector = 0.5 * rho * rho * (std::atan2(yOnX, hx) - std::atan2(hy, xOnY));
    return sector - 0.5 * hy * (xOnY - hx) - 0.5 * hx * (yOnX - hy);
}

} // namespace

std::optional<double> RingCoverage(int r, double hx, double hy, double pi, bool cornerAddedBack) {
    if (!(hy > 0) || !(hx >= hy))
        return std::nullopt;
    const double rIn = 0.5 * r - 0.5;
    const double rOut = rIn + 0.5;
    const double R = std::sqrt(hx * hx + hy * hy);
    const double quarterArea = (pi / 4) * (rOut * rOut - rIn * rIn);

    double share = 0.0;
    if (rOut <= hy && rOut <= hx) {
        share = 1.0; // A: wholly inside
    } else if (rOut > hy && rIn <= hy && rOut <= hx) {
        share = (quarterArea - Segment(rOut, hy)) / quarterArea; // B
    } else if (rIn > hy && rOut <= hx) {
        share = InsideLine(rIn, rOut, hy, quarterArea, pi) / quarterArea; // C
    } else if (rOut > hy && rIn <= hy && rOut > hx && rIn <= hx) {
        // D: the outer circle crosses both lines, the inner circle neither.
        double inside = quarterArea - Segment(rOut, hy) - Segment(rOut, hx);
        if (rOut > R && cornerAddedBack)
            inside = inside + BeyondCorner(rOut, hx, hy);
        share = inside / quarterArea;
    } else if (rIn >= hy && rOut > hx && rIn <= hx) {
        // E: both circles cross y = hy, only the outer one x = hx.
        double inside = InsideLine(rIn, rOut, hy, quarterArea, pi) - Segment(rOut, hx);
        if (rOut > R && cornerAddedBack)
            inside = inside + BeyondCorner(rOut, hx, hy);
        share = inside / quarterArea;
    } else if (rIn > hy && rIn > hx && rOut <= R) {
        // F: the parts beyond the two lines do not overlap inside the corner distance.
        share = (InsideLine(rIn, rOut, hy, quarterArea, pi) +
                 InsideLine(rIn, rOut, hx, quarterArea, pi) - quarterArea) /
                quarterArea;
    } else if (rOut > R && rIn < R) {
        share = (Corner(rIn, R, hy, hx) + Corner(rIn, R, hx, hy)) / quarterArea; // G
    }
    if (!std::isfinite(share))
        return std::nullopt;
    return share;
}

} // namespace veltrim
