#include "dose/RingCoverage.h"

#include "dose/OffAxisCoverage.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {

constexpr double ModelPi = 3.14159;

double Share(int r, double hx, double hy) {
    const std::optional<double> share = veltrim::RingCoverage(r, hx, hy, ModelPi);
    EXPECT_TRUE(share.has_value()) << "ring " << r << ", hx " << hx << ", hy " << hy;
    return share.value_or(-1.0);
}

// The area of the quarter ring inside the quarter field by the midpoint rule
// over x, with the exact chord length in y at each x, divided by the quarter
// ring area with the model's pi (as the closed form divides). Independent of
// the case analysis; accurate to about 1e-8 with 200000 strips.
double NumericalShare(int r, double hx, double hy, int strips = 200000) {
    const double rIn = 0.5 * r - 0.5;
    const double rOut = rIn + 0.5;
    const double width = std::min(hx, rOut);
    const double dx = width / strips;
    double area = 0.0;
    for (int k = 0; k < strips; ++k) {
        const double x = (k + 0.5) * dx;
        const double low = x < rIn ? std::sqrt(rIn * rIn - x * x) : 0.0;
        const double high = std::min(hy, std::sqrt(std::max(0.0, rOut * rOut - x * x)));
        if (high > low)
            area += (high - low) * dx;
    }
    return area / (ModelPi / 4 * (rOut * rOut - rIn * rIn));
}

// The closed forms take their angles from arctan (true pi) but the ring area
// from 3.14159, so a share differs from the true one by about 1e-6.
constexpr double ModelPiTolerance = 5e-6;

// Reference shares of each case of the closed forms (the letters), and rings
// wholly inside. Without the overlap added back, the rings past the corner of
// the 5 x 2 and 1 x 0.2 fields and the ring of the 0.3 x 0.1 field would give
// 0.061842, -0.292067 and -0.031818.
TEST(RingCoverage, MatchesReferenceShares) {
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(Share(r, 5, 5), 1.0) << "ring " << r;
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(Share(r, 5, 2), 1.0) << "ring " << r;
    struct Case {
        int r;
        double hx, hy, share, tolerance;
    };
    for (const Case& c : {Case{11, 5, 5, 0.626037, 5e-7}, // D, inside the corner distance
                          Case{12, 5, 5, 0.344651, 5e-7}, // F
                          Case{15, 5, 5, 0.000890, 5e-7}, // G
                          Case{16, 5, 5, 0.0, 0.0},       // beyond the corner
                          Case{5, 5, 2, 0.710866, 5e-7},  // B, inner radius exactly hy
                          Case{6, 5, 2, 0.519502, 5e-7},  // C
                          Case{11, 5, 2, 0.0663201, 1e-7}, Case{3, 1, 0.2, 0.00136555, 1e-8},
                          Case{1, 0.3, 0.1, 0.1527880, 1e-7}})
        EXPECT_NEAR(Share(c.r, c.hx, c.hy), c.share, c.tolerance)
            << "ring " << c.r << ", hx " << c.hx << ", hy " << c.hy;
}

// Cases D and E remove the part beyond y = hy and the part beyond x = hx one
// after the other; once the outer radius passes the field corner the two
// overlap and must not be removed twice. At the boundaries between the cases
// (r_in exactly hy, r_out exactly the corner distance) a ring falls to the
// neighbouring case continuously.
TEST(RingCoverage, RingsPastTheCornerAndOnTheBoundariesMatchTheNumericalArea) {
    struct Case {
        int r;
        double hx, hy;
    };
    for (const Case& c : {Case{11, 5, 2}, Case{3, 1, 0.2}, Case{1, 0.3, 0.1}, Case{2, 0.6, 0.5},
                          Case{5, 3, 2}, Case{5, 2, 2}, Case{10, 4, 3}})
        EXPECT_NEAR(Share(c.r, c.hx, c.hy), NumericalShare(c.r, c.hx, c.hy), ModelPiTolerance)
            << "ring " << c.r << ", hx " << c.hx << ", hy " << c.hy;
}

TEST(RingCoverage, EveryRingOfRandomFieldsMatchesTheNumericalArea) {
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> side(0.05, 12.0), aspect(1.0, 4.0);
    for (int field = 0; field < 60; ++field) {
        const double hy = side(random);
        const double hx = std::min(hy * aspect(random), 25.0);
        const int rings = static_cast<int>(std::floor(2 * std::sqrt(hx * hx + hy * hy))) + 1;
        for (int r = 1; r <= std::min(rings, 80); ++r) {
            const double share = Share(r, hx, hy);
            ASSERT_NEAR(share, NumericalShare(r, hx, hy, 20000), 2e-5)
                << "ring " << r << ", hx " << hx << ", hy " << hy;
        }
    }
}

TEST(RingCoverage, ZeroOrNegativeHalfSideGivesNoShare) {
    EXPECT_FALSE(veltrim::RingCoverage(1, 5, 0, ModelPi).has_value());
    EXPECT_FALSE(veltrim::RingCoverage(3, 5, 0, ModelPi).has_value());
    EXPECT_FALSE(veltrim::RingCoverage(2, 5, -1, ModelPi).has_value());
    EXPECT_FALSE(veltrim::RingCoverage(2, 1, 2, ModelPi).has_value()); // sides not ordered
}

// Length of [a, b] inside [lo, hi].
double Overlap(double a, double b, double lo, double hi) {
    return std::max(0.0, std::min(b, hi) - std::max(a, lo));
}

// The area of ring r around the origin inside a field, by the midpoint rule
// over x with the ring's exact chords in y at each x, over the true ring
// area. `field(x)` gives the field's extent in y at x (empty if lo > hi).
// The chords' square-root ends limit it to a few 1e-6.
template <class Field> double NumericalOffCentreShare(int r, Field field, int strips = 200000) {
    const double rIn = 0.5 * r - 0.5;
    const double rOut = rIn + 0.5;
    const double dx = 2 * rOut / strips;
    double area = 0.0;
    for (int k = 0; k < strips; ++k) {
        const double x = -rOut + (k + 0.5) * dx;
        const double outer = std::sqrt(std::max(0.0, rOut * rOut - x * x));
        const double inner = std::sqrt(std::max(0.0, rIn * rIn - x * x));
        const auto [lo, hi] = field(x);
        area += (Overlap(-outer, -inner, lo, hi) + Overlap(inner, outer, lo, hi)) * dx;
    }
    return area / (std::numbers::pi * (rOut * rOut - rIn * rIn));
}

// Rings around points inside the field, on its edge, beyond its side and
// beyond its corner, the rings that hold an edge or a corner among them; on
// the axis the same as the centred closed forms up to their pi.
TEST(RingCoverage, OffCentreSharesMatchTheNumericalArea) {
    struct Case {
        int r;
        double px, py, hx, hy;
    };
    for (const Case& c : {Case{1, 0.2, 0.1, 5, 3}, Case{7, 2, -1, 5, 3}, Case{9, 4.9, 2.5, 5, 3},
                          Case{3, 5, 0, 5, 3}, Case{14, -9, 0, 5, 3}, Case{20, 12, 7, 5, 3},
                          Case{30, -12, 7, 2, 8}, Case{80, 25, 3, 10, 10}, Case{2, 0, 0, 0.4, 0.3},
                          Case{11, 0, 0, 5, 5}, Case{5, 0, 0, 5, 2}}) {
        const double share = veltrim::OffCentreRectangleShare(c.r, c.px, c.py, c.hx, c.hy);
        const auto field = [&](double x) {
            const bool in = std::fabs(x + c.px) <= c.hx;
            return std::pair{in ? -c.hy - c.py : 1.0, in ? c.hy - c.py : 0.0};
        };
        EXPECT_NEAR(share, NumericalOffCentreShare(c.r, field), 1e-5)
            << "ring " << c.r << " around (" << c.px << ", " << c.py << ")";
        if (c.px == 0 && c.py == 0) {
            EXPECT_NEAR(share, Share(c.r, std::max(c.hx, c.hy), std::min(c.hx, c.hy)),
                        ModelPiTolerance);
        }
    }
    struct CircleCase {
        int r;
        double d, R;
    };
    for (const CircleCase& c :
         {CircleCase{1, 0, 5}, CircleCase{11, 0, 5}, CircleCase{4, 3, 5}, CircleCase{12, 3, 5},
          CircleCase{3, 6, 5}, CircleCase{30, 20, 7.5}, CircleCase{2, 0.3, 0.2}}) {
        const auto field = [&](double x) {
            const double half = std::sqrt(std::max(0.0, c.R * c.R - (x - c.d) * (x - c.d)));
            return std::pair{-half, half};
        };
        EXPECT_NEAR(veltrim::OffCentreCircleShare(c.r, c.d, c.R),
                    NumericalOffCentreShare(c.r, field), 1e-5)
            << "ring " << c.r << " at " << c.d << " cm from a circle of radius " << c.R;
    }
}

// What the point-focus model takes from the part of a ring's middle circle
// inside the field, against the same means over 400 000 points of the
// circle: the rays' mean tilt away from the point (1 on a whole ring) and
// the focus's fluence at the mean squared distance from the axis. Crossings
// of every edge, of a corner and of a circular field; an arc put on the
// wrong side of a crossing, or a sine for a cosine, moves them.
TEST(RingCoverage, FocusRingViewMatchesTheMeansOverTheCircle) {
    struct Case {
        int r;
        double px, py, hx, hy;
        bool circle;
    };
    const double focus = 70;
    for (const Case& c :
         {Case{1, 0.2, 0.1, 5, 3, false}, Case{9, 4.9, 2.5, 5, 3, false},
          Case{20, 12, 7, 5, 3, false}, Case{30, -12, 7, 2, 8, false}, Case{14, -9, 0, 5, 3, false},
          Case{7, 2, -1, 5, 3, false}, Case{4, 3, 0, 5, 0, true}, Case{30, 14, 14, 7.5, 0, true}}) {
        const double s = 0.5 * c.r - 0.25;
        const int n = 400000;
        double covered = 0, along = 0;
        for (int k = 0; k < n; ++k) {
            const double phi = 2 * std::numbers::pi * (k + 0.5) / n;
            const double x = c.px + s * std::cos(phi), y = c.py + s * std::sin(phi);
            const bool in = c.circle ? x * x + y * y <= c.hx * c.hx
                                     : std::fabs(x) <= c.hx && std::fabs(y) <= c.hy;
            if (in) {
                covered += 1;
                along += c.px * std::cos(phi) + c.py * std::sin(phi);
            }
        }
        ASSERT_GT(covered, 0);
        const double tilt = 1 + along / covered / s;
        const double q2 =
            (c.px * c.px + c.py * c.py + s * s + 2 * s * along / covered) / (focus * focus);
        const veltrim::RingView view =
            veltrim::FocusRingView(c.r, c.px, c.py, c.hx, c.hy, c.circle, focus);
        EXPECT_NEAR(view.Tilt, tilt, 1e-5)
            << "ring " << c.r << " around (" << c.px << ", " << c.py << ")";
        EXPECT_NEAR(view.Fluence, std::pow(1 + q2, -1.5), 1e-7) << "ring " << c.r;
    }
}

} // namespace
