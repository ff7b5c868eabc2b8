// The disc of a ring's outer (or inner) radius against the field. For the
// rectangle, the area of the disc beyond two perpendicular lines is known in
// closed form; the rectangle is the signed sum of four such quadrants.
#include "dose/OffAxisCoverage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltrim {
namespace {

// Area under the circle x^2 + y^2 = rho^2 from 0 to x (0 <= x <= rho), upper half.
double UnderArc(double x, double rho) {
    const double s = std::min(x / rho, 1.0);
    return 0.5 * (x * std::sqrt(std::max(rho * rho - x * x, 0.0)) + rho * rho * std::asin(s));
}

// Area of the disc of radius rho around the origin with x >= a and y >= b,
// for a, b >= 0.
double CornerBeyond(double a, double b, double rho) {
    if (a * a + b * b >= rho * rho)
        return 0.0;
    const double xEnd = std::sqrt(rho * rho - b * b); // where y = b meets the circle
    return UnderArc(xEnd, rho) - UnderArc(a, rho) - b * (xEnd - a);
}

// Area of the disc with y >= b.
double HalfBeyond(double b, double rho) {
    if (b >= 0)
        return 2 * CornerBeyond(0.0, b, rho);
    return std::numbers::pi * rho * rho - 2 * CornerBeyond(0.0, -b, rho);
}

// Area of the disc with x >= a and y >= b, any signs: a negative bound is
// the half beyond the other line less the mirrored corner.
double Quadrant(double a, double b, double rho) {
    if (a < 0)
        return HalfBeyond(b, rho) - Quadrant(-a, b, rho);
    if (b < 0)
        return HalfBeyond(a, rho) - Quadrant(a, -b, rho);
    return CornerBeyond(a, b, rho);
}

// The share of ring r from the parts of its outer and inner discs inside the field.
double ShareBetween(int r, double outer, double inner) {
    const double rIn = 0.5 * r - 0.5;
    const double rOut = rIn + 0.5;
    return std::clamp((outer - inner) / (std::numbers::pi * (rOut * rOut - rIn * rIn)), 0.0, 1.0);
}

} // namespace

double DiscInRectangle(double rho, double px, double py, double hx, double hy) {
    if (rho <= 0)
        return 0.0;
    // The rectangle's edges as seen from the disc's centre.
    const double x0 = -hx - px, x1 = hx - px;
    const double y0 = -hy - py, y1 = hy - py;
    const double area = Quadrant(x0, y0, rho) - Quadrant(x1, y0, rho) - Quadrant(x0, y1, rho) +
                        Quadrant(x1, y1, rho);
    return std::max(area, 0.0);
}

double DiscInDisc(double rho, double d, double R) {
    if (rho <= 0 || R <= 0 || d >= rho + R)
        return 0.0;
    if (d <= std::fabs(R - rho)) {
        const double smaller = std::min(rho, R);
        return std::numbers::pi * smaller * smaller;
    }
    // The lens: the two circular segments cut off by the common chord.
    const double a = std::acos(std::clamp((d * d + rho * rho - R * R) / (2 * d * rho), -1.0, 1.0));
    const double b = std::acos(std::clamp((d * d + R * R - rho * rho) / (2 * d * R), -1.0, 1.0));
    const double kite =
        0.5 *
        std::sqrt(std::max((-d + rho + R) * (d + rho - R) * (d - rho + R) * (d + rho + R), 0.0));
    return rho * rho * a + R * R * b - kite;
}

double OffCentreRectangleShare(int r, double px, double py, double hx, double hy) {
    return ShareBetween(r, DiscInRectangle(0.5 * r, px, py, hx, hy),
                        DiscInRectangle(0.5 * r - 0.5, px, py, hx, hy));
}

double OffCentreCircleShare(int r, double d, double R) {
    return ShareBetween(r, DiscInDisc(0.5 * r, d, R), DiscInDisc(0.5 * r - 0.5, d, R));
}

void OffCentreShares(int rings, double px, double py, double hx, double hy, bool circle,
                     double* share) {
    const double d = std::sqrt(px * px + py * py);
    double inner = 0.0;
    for (int r = 1; r <= rings; ++r) {
        const double outer =
            circle ? DiscInDisc(0.5 * r, d, hx) : DiscInRectangle(0.5 * r, px, py, hx, hy);
        share[r] = ShareBetween(r, outer, inner);
        inner = outer;
    }
}

} // namespace veltrim
