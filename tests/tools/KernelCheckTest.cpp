// The arithmetic of the self-checks: ring shares of a rectangular field.

#include "tools/mc/KernelCheck.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace veltrim::mc {
namespace {

// Reference shares: the closed-form quarter-ring areas of the program's ring
// coverage for rings that do not reach past the field corner, evaluated with
// pi = 3.14159 (so they differ from exact areas by about 1e-6).
TEST(RectangleRingShareTest, MatchesClosedFormAreas) {
    EXPECT_NEAR(RectangleRingShare(0.0, 0.5, 5.0, 5.0), 1.0, 1e-12);
    EXPECT_NEAR(RectangleRingShare(5.0, 5.5, 5.0, 5.0), 0.626037, 2e-5);
    EXPECT_NEAR(RectangleRingShare(5.5, 6.0, 5.0, 5.0), 0.344651, 2e-5);
    EXPECT_NEAR(RectangleRingShare(7.0, 7.5, 5.0, 5.0), 0.000890, 2e-5);
    EXPECT_NEAR(RectangleRingShare(7.5, 8.0, 5.0, 5.0), 0.0, 1e-12);
    EXPECT_NEAR(RectangleRingShare(2.0, 2.5, 5.0, 2.0), 0.710866, 2e-5);
    EXPECT_NEAR(RectangleRingShare(2.5, 3.0, 5.0, 2.0), 0.519502, 2e-5);
}

// Summed over all rings, the shares weighted by ring area give the field's area.
TEST(RectangleRingShareTest, RingAreasAddUpToTheField) {
    const double hx = 15.0;
    const double hy = 7.3;
    double area = 0.0;
    for (int ring = 0; ring < 40; ++ring) {
        const double rIn = 0.5 * ring;
        const double rOut = rIn + 0.5;
        area +=
            RectangleRingShare(rIn, rOut, hx, hy) * std::numbers::pi * (rOut * rOut - rIn * rIn);
    }
    EXPECT_NEAR(area, 4.0 * hx * hy, 1e-6 * 4.0 * hx * hy);
}

} // namespace
} // namespace veltrim::mc
