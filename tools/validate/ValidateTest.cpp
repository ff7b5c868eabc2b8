// The unmended ring rule that the report switches back on must be exactly
// the rule as first written: the ring's area inside the quarter field, less
// the corner region {x > hx, y > hy, r < r_out} a second time in cases D and
// E. Reference areas by a fine midpoint grid over the quarter plane.
#include "dose/RingCoverage.h"
#include "tools/validate/Engine.h"

#include <cmath>
#include <gtest/gtest.h>

namespace veltrim::validate {
namespace {

constexpr double ModelPi = 3.14159;

// Area of the points of 0 <= x, y <= extent with `inside`, midpoint rule.
template <typename Inside> double GridArea(double extent, int steps, Inside inside) {
    const double h = extent / steps;
    long count = 0;
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < steps; ++j)
            count += inside((i + 0.5) * h, (j + 0.5) * h) ? 1 : 0;
    return static_cast<double>(count) * h * h;
}

TEST(AreaBeyondCorner, MatchesGridAreaBeyondBothEdges) {
    for (auto [rho, hx, hy] : {std::tuple{1.5, 1.0, 0.2}, std::tuple{0.5, 0.3, 0.1},
                               std::tuple{6.0, 5.0, 2.0}, std::tuple{3.2, 2.0, 2.0}}) {
        const double grid = GridArea(rho, 3000, [&](double x, double y) {
            return x > hx && y > hy && x * x + y * y < rho * rho;
        });
        EXPECT_NEAR(AreaBeyondCorner(rho, hx, hy), grid, 2e-3 * rho * rho)
            << rho << " " << hx << " " << hy;
    }
}

TEST(AreaBeyondCorner, IsZeroInsideTheCornerDistance) {
    EXPECT_EQ(AreaBeyondCorner(5.0, 4.0, 3.0), 0.0);
    EXPECT_EQ(AreaBeyondCorner(4.9, 4.0, 3.0), 0.0);
}

// Unmended share x ring area = (ring inside field) - (corner region), both by
// grid, for rings of cases D and E that reach past the corner; every other
// ring keeps the mended share.
TEST(UnmendedRingCoverage, SubtractsTheCornerTwiceOnlyInCasesDAndE) {
    for (auto [hx, hy] : {std::pair{1.0, 0.2}, std::pair{0.3, 0.1}, std::pair{2.0, 0.7},
                          std::pair{5.0, 2.0}, std::pair{1.1, 1.1}}) {
        const double R = std::hypot(hx, hy);
        for (int r = 1; r <= static_cast<int>(2 * R) + 1; ++r) {
            const double rIn = 0.5 * r - 0.5, rOut = rIn + 0.5;
            const double quarterArea = ModelPi / 4 * (rOut * rOut - rIn * rIn);
            const double mended = RingCoverage(r, hx, hy, ModelPi).value();
            const double unmended = UnmendedRingCoverage(r, hx, hy, ModelPi);
            const bool overlaps = rOut > hx && rIn <= hx && rOut > R;
            if (!overlaps) {
                EXPECT_EQ(unmended, mended) << hx << " " << hy << " ring " << r;
                continue;
            }
            const double inField = GridArea(rOut, 2000, [&](double x, double y) {
                const double rr = x * x + y * y;
                return x <= hx && y <= hy && rr >= rIn * rIn && rr < rOut * rOut;
            });
            const double corner = GridArea(rOut, 2000, [&](double x, double y) {
                return x > hx && y > hy && x * x + y * y < rOut * rOut;
            });
            EXPECT_NEAR(unmended * quarterArea, inField - corner, 3e-3 * rOut * rOut)
                << hx << " " << hy << " ring " << r;
        }
    }
}

} // namespace
} // namespace veltrim::validate
