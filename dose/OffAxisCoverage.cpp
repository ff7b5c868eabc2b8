// The disc of a ring's outer (or inner) radius against the field. For the
// rectangle, the area of the disc beyond two perpendicular lines is known in
// closed form; the rectangle is the signed sum of four such quadrants.
#include "dose/OffAxisCoverage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
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

namespace {

bool InField(double x, double y, double hx, double hy, bool circle) {
    if (circle)
        return x * x + y * y <= hx * hx;
    return std::fabs(x) <= hx && std::fabs(y) <= hy;
}

// The covered arcs of the circle of radius s around (px, py): their total
// angle and the integrals of cos and sin over them.
struct Arcs {
    double Angle = 0.0;
    double Cos = 0.0;
    double Sin = 0.0;
};

// A point of the circle: its angle from the x axis and the angle's cosine
// and sine, the latter found without trigonometry where the crossing gives
// them.
struct OnCircle {
    double Angle, Cos, Sin;
};

Arcs CoveredArcs(double s, double px, double py, double hx, double hy, bool circle) {
    constexpr double twoPi = 2 * std::numbers::pi;
    std::array<OnCircle, 10> at{};
    std::size_t n = 0;
    const auto add = [&](double angle, double c, double sn) {
        at[n++] = {angle < 0 ? angle + twoPi : angle, c, sn};
    };
    if (circle) {
        const double d = std::hypot(px, py);
        const double c = d > 0 ? (hx * hx - d * d - s * s) / (2 * s * d) : 2.0;
        if (std::fabs(c) < 1) {
            const double toward = std::atan2(py, px);
            for (const double angle : {toward + std::acos(c), toward - std::acos(c)}) {
                const double a = std::fmod(angle + twoPi, twoPi);
                add(a, std::cos(a), std::sin(a));
            }
        }
    } else {
        for (const double edge : {-hx - px, hx - px})
            if (std::fabs(edge) < s) {
                const double c = edge / s, sn = std::sqrt(1 - c * c), a = std::acos(c);
                add(a, c, sn);
                add(-a, c, -sn);
            }
        for (const double edge : {-hy - py, hy - py})
            if (std::fabs(edge) < s) {
                const double sn = edge / s, c = std::sqrt(1 - sn * sn), a = std::asin(sn);
                add(a, c, sn);
                add(std::numbers::pi - a, -c, sn);
            }
    }
    if (n == 0) { // the whole circle on one side of every edge
        if (InField(px + s, py, hx, hy, circle))
            return {twoPi, 0.0, 0.0};
        return {};
    }
    add(0.0, 1.0, 0.0);
    at[n++] = {twoPi, 1.0, 0.0};
    std::sort(at.begin(), at.begin() + static_cast<std::ptrdiff_t>(n),
              [](const OnCircle& a, const OnCircle& b) { return a.Angle < b.Angle; });
    Arcs arcs;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const OnCircle& a = at[k];
        const OnCircle& b = at[k + 1];
        const double span = b.Angle - a.Angle;
        if (span <= 0)
            continue;
        // The arc's middle: along the chord's bisector, away from it for an
        // arc over half the circle.
        double mx = a.Cos + b.Cos, my = a.Sin + b.Sin;
        if (std::fabs(span - std::numbers::pi) < 1e-6) {
            mx = std::cos(a.Angle + 0.5 * span);
            my = std::sin(a.Angle + 0.5 * span);
        } else if (span > std::numbers::pi) {
            mx = -mx;
            my = -my;
        }
        const double length = std::sqrt(mx * mx + my * my);
        if (InField(px + s * mx / length, py + s * my / length, hx, hy, circle)) {
            arcs.Angle += span;
            arcs.Cos += b.Sin - a.Sin;
            arcs.Sin += a.Cos - b.Cos;
        }
    }
    return arcs;
}

} // namespace

RingView FocusRingView(int r, double px, double py, double hx, double hy, bool circle,
                       double focus) {
    double s = 0.5 * r - 0.25;
    Arcs arcs = CoveredArcs(s, px, py, hx, hy, circle);
    // A ring that holds only a sliver of the field at its edge: that edge.
    for (const double edge : {0.5 * r - 0.01, 0.5 * r - 0.49})
        if (arcs.Angle <= 0) {
            s = edge;
            arcs = CoveredArcs(s, px, py, hx, hy, circle);
        }
    RingView view;
    const double along = arcs.Angle > 0 ? (px * arcs.Cos + py * arcs.Sin) / arcs.Angle : 0.0;
    view.Tilt = 1 + along / s;
    view.Fluence = FocusFalloff((px * px + py * py + s * s + 2 * s * along) / (focus * focus));
    return view;
}

} // namespace veltrim
