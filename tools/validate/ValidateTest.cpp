// The checks of the validation studies on the shipped data, each with its
// bound; the placeholder filling of the report; and the unmended ring rule
// the report switches back on, which must be exactly the rule as first
// written: the ring's area inside the quarter field, less the corner region
// {x > hx, y > hy, r < r_out} a second time in cases D and E (reference
// areas by a fine midpoint grid over the quarter plane).
#include "dose/RingCoverage.h"
#include "tools/validate/Checks.h"
#include "tools/validate/Engine.h"
#include "tools/validate/Studies.h"
#include "tools/validate/Template.h"

#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace veltrim::validate {
namespace {

constexpr double ModelPi = 3.14159;

Engine& Shipped() {
    static Engine engine(VELTRIM_DATA_DIR);
    return engine;
}

TEST(DataStudy, TablesAgreeWithNistAndXraylib) {
    const DataStudy d = StudyData(Shipped());
    ASSERT_EQ(d.Rows.size(), 10u);
    EXPECT_LT(d.WorstTissueMu, bounds::TissueMu) << "per cent";
    EXPECT_LT(d.WorstTissueMuEn, bounds::TissueMuEn) << "per cent";
    EXPECT_LT(d.WorstAirMuEn, bounds::AirMuEn) << "per cent";
    EXPECT_LT(d.WorstMetal, bounds::Metals) << "per cent";
    EXPECT_LT(std::fabs(d.WorstInterpolation), bounds::TissueInterpolation)
        << "per cent, at " << d.WorstInterpolationAt << " keV";
}

TEST(SpectraStudy, Hvl1WithinTheRegressionBoundOfMeasuredBeams) {
    const SpectraStudy s = StudySpectra(Shipped());
    EXPECT_LT(s.WorstPtbHvl1, bounds::Hvl1);
    EXPECT_LT(s.WorstEnea, bounds::Hvl1);
    // The known deficit of the model: softer than the measured beams, more so at high kV.
    EXPECT_LT(s.PtbHvl1At40, 0.0);
    EXPECT_LT(s.PtbHvl1At150, s.PtbHvl1At40);
}

// Every reference beam is matched, and matching moves its other figures
// towards the reference's: each matched HVL2 lies nearer PTB's than before.
TEST(MatchingStudy, MatchedBeamsGiveTheMeasuredHvl1AndCloserHvl2) {
    const MatchingStudy m = StudyMatching(Shipped());
    ASSERT_EQ(m.Ptb.size(), refs::Ptb.size());
    ASSERT_EQ(m.Enea.size(), refs::Enea.size());
    EXPECT_LT(m.WorstHvl1Miss, bounds::Hvl1Match);
    for (const auto& row : m.Ptb) {
        EXPECT_GE(row.AddedAlMm, 0.0) << row.Reference.Quality;
        EXPECT_LT(std::fabs(row.Matched.Hvl2MmAl - row.Reference.Hvl2),
                  std::fabs(row.Before.Hvl2MmAl - row.Reference.Hvl2))
            << row.Reference.Quality;
    }
    EXPECT_LT(m.WorstMeanAfter, m.WorstMeanBefore);
}

TEST(KernelStudy, SelfChecksPassAndThePddIsStatisticallySharp) {
    const KernelStudy k = StudyKernels(Shipped());
    EXPECT_TRUE(k.SelfChecksPassed) << k.SelfChecks;
    EXPECT_EQ(k.Rows.size(), 12u);
    EXPECT_LT(k.WorstSigma, bounds::PddSigma);
}

TEST(DepthDoseStudy, EveryTypicalBeamComputes) {
    const DepthDoseStudy d = StudyDepthDose(Shipped());
    EXPECT_EQ(d.Tried, 24);
    EXPECT_EQ(d.Computed, d.Tried);
}

// Fewer histories than the report, fixed seed.
TEST(SurfaceStudy, ReproducesTheKernelsAndTheBackscatterFactors) {
    SurfaceTallySettings settings;
    settings.Histories = 300000;
    const SurfaceStudy s = StudySurface(Shipped(), settings);
    EXPECT_LT(s.WorstPull, bounds::KernelPull);
    EXPECT_GT(s.Low, bounds::SurfaceLow);
    EXPECT_LT(s.High, bounds::SurfaceHigh);
}

TEST(MendedStudy, DirectCallIsTheProgramAndTheFirstRuleIsReproduced) {
    const MendedStudy m = StudyMendedFaults(Shipped());
    EXPECT_EQ(m.SameBits, m.Probes);
    EXPECT_NEAR(m.UnmendedExample1, bounds::Example1, bounds::ExampleTolerance);
    EXPECT_NEAR(m.UnmendedExample2, bounds::Example2, bounds::ExampleTolerance);
    // The first zero-node rule leaves the shallow rows alone and invents deep dose.
    EXPECT_FALSE(m.ZeroChangesTo5);
    EXPECT_GT(m.ZeroAt20, 0.0);
}

TEST(FillTemplate, ReplacesEveryPlaceholderAndRejectsGapsAndLeftovers) {
    EXPECT_EQ(FillTemplate("a {{x}} b {{x}}{{y}}", {{"x", "1"}, {"y", ""}}), "a 1 b 1");
    EXPECT_THROW(FillTemplate("a {{x}} {{z}}", {{"x", "1"}}), std::runtime_error);
    EXPECT_THROW(FillTemplate("a {{x}}", {{"x", "1"}, {"renamed", "2"}}), std::runtime_error);
    EXPECT_THROW(FillTemplate("a {{x", {{"x", "1"}}), std::runtime_error);
}

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
