#include "dose/PointDose.h"

#include "common/RefusalHelpers.h"
#include "core/CalculationError.h"
#include "dose/AbsoluteDose.h"
#include "dose/KernelTail.h"
#include "dose/SyntheticData.h"
#include "engine/DosePlane.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using veltrim::LayerMiddle;
using veltrim::PhantomPoint;
namespace synthetic = veltrim::testing;

// A beam over the made-up data, its depth dose, and the dose at points of it.
struct Beam : synthetic::SyntheticBeam {
    std::unique_ptr<veltrim::DepthDoseCalculation> axis;
    std::unique_ptr<veltrim::SurfaceKernelSet> surface = [] {
        auto set = std::make_unique<veltrim::SurfaceKernelSet>();
        for (int e = veltrim::FirstKernelKeV; e <= veltrim::LastKernelKeV; e += 5)
            set->Nodes[static_cast<std::size_t>((e - veltrim::FirstKernelKeV) / 5)] =
                synthetic::SyntheticSurfaceKernel(e);
        return set;
    }();
    veltrim::PointBeam Point() const {
        return {spectrum, tissue, *axis, conditions, 3.14159, surface.get()};
    }

    Beam(double fsd, double fieldX, double fieldY,
         const std::function<double(int, int, int)>& kernel = synthetic::SyntheticKernel)
        : SyntheticBeam(kernel) {
        SetConditions(80, fsd, fieldX, fieldY);
        veltrim::KernelSetSource source(*kernels);
        axis = std::make_unique<veltrim::DepthDoseCalculation>(
            veltrim::CalculateDepthDose(spectrum, tissue, source, conditions, 30.0, 3.14159));
    }
    std::vector<veltrim::PointDose> At(const std::vector<PhantomPoint>& points) const {
        veltrim::KernelSetSource source(*kernels);
        return veltrim::DoseAtPoints(Point(), source, points);
    }
    veltrim::PointDose At(double x, double y, double z) const { return At({{x, y, z}})[0]; }
    std::string Refusal(double x, double y, double z) const {
        return synthetic::RefusalOf<veltrim::CalculationError>([&] { At({{0, 0, 1}, {x, y, z}}); });
    }
};

// The axis's sums are formed term for term as the depth dose forms them, for
// a rectangle typed with its shorter side first (the table orders the sides)
// and for a circle, whose rings the table counts whole and the points (with
// the table's exact scatter) by their share inside it. The surface takes the
// surface kernels on the axis and off it, bit for bit the surface dose of the
// absolute dose on the axis, in both models; between the surface and the
// first layer middle the scatter lies on the exponential through the two.
TEST(PointDose, OnTheAxisTheLayerMiddlesGiveTheTableAndTheSurfaceItsOwnDose) {
    for (const Beam& beam : {Beam(100, 10, 20), Beam(80, 15, 0)}) {
        std::vector<PhantomPoint> points;
        for (int d = 1; d <= beam.axis->Rows; ++d)
            points.push_back({0, 0, LayerMiddle(d)});
        const std::vector<veltrim::PointDose> doses = beam.At(points);
        for (int d = 1; d <= beam.axis->Rows; ++d) {
            const veltrim::PointDose& p = doses[static_cast<std::size_t>(d - 1)];
            EXPECT_NEAR(p.Primary, beam.axis->PrimaryDose[d], 1e-12 * p.Primary) << "row " << d;
            EXPECT_NEAR(p.Scatter, beam.axis->ExactScatterDose[d], 1e-12 * p.Scatter)
                << "row " << d;
            if (!beam.axis->CircularField)
                EXPECT_NEAR(veltrim::PercentOfFirstLayer(*beam.axis, p.Primary + p.Scatter),
                            beam.axis->Table[d][veltrim::TotalPdd], 1e-12 * 100)
                    << "row " << d;
            else
                EXPECT_LT(p.Scatter, beam.axis->ScatterDose[d]) << "row " << d;
        }
        const veltrim::SurfaceScatter surface =
            veltrim::SurfaceScatterPerFluence(beam.spectrum, beam.tissue, *beam.surface,
                                              veltrim::HalveField(beam.conditions), 160, 3.14159);
        const veltrim::PointDose onAxis = beam.At(0, 0, 0);
        EXPECT_EQ(onAxis.Primary, surface.PrimaryTissue);
        EXPECT_EQ(onAxis.Scatter, surface.ScatterTissue);
        veltrim::KernelSetSource source(*beam.kernels);
        const veltrim::PointDose divergent = veltrim::DivergentDoseAtPoints(
            beam.Point(), source, source, std::vector<PhantomPoint>{{0, 0, 0}})[0];
        EXPECT_EQ(divergent.Scatter, surface.ScatterTissue);
        EXPECT_NEAR(beam.At(1e-9, 0, 0).Scatter, onAxis.Scatter, 1e-6 * onAxis.Scatter);
        const double first = beam.At(0, 0, LayerMiddle(1)).Scatter;
        EXPECT_NEAR(beam.At(0, 0, 0.125).Scatter, std::sqrt(onAxis.Scatter * first), 1e-12 * first);
    }
}

// A circle's dose is continuous across its axis, at layer middles, between
// them and at the surface, and in the point-focus model too, whose table
// takes each ring's share as the points do.
TEST(PointDose, ACirclesProfileHasNoSeamOnItsAxis) {
    Beam beam(100, 10, 0);
    for (const double z : {0.0, 0.1, 0.25, 10.25, 12.6, 29.75}) {
        const std::vector<veltrim::PointDose> d = beam.At({{0, 0, z}, {1e-9, 0, z}, {0, -1e-9, z}});
        for (const std::size_t n : {1, 2})
            EXPECT_NEAR(d[n].Scatter, d[0].Scatter, 1e-6 * d[0].Scatter) << z << " cm, " << n;
    }
    veltrim::DepthDoseRules exact;
    exact.CircleRingsWhole = false;
    veltrim::KernelSetSource source(*beam.kernels);
    const veltrim::DepthDoseCalculation divergent = veltrim::CalculateDepthDose(
        beam.spectrum, beam.tissue, source, beam.conditions, 30.0, 3.14159, exact);
    for (int d = 1; d <= divergent.Rows; ++d)
        EXPECT_EQ(divergent.ScatterDose[d], beam.axis->ExactScatterDose[d]) << "row " << d;
}

// Kernels in proportion to the ring's area deposit the same scatter from
// every cm2 of the field wherever it lies, so the scatter is that of the
// field's whole area from any point within reach: a ring lost at the far
// corner, a share measured on the wrong side or a circle taken for a square
// changes it. The field is symmetric, so is the dose.
TEST(PointDose, EveryPartOfAnOffCentreFieldIsCountedOnce) {
    const auto perArea = [](int energyKeV, int a, int c) {
        return 1e-4 * std::sqrt(energyKeV) * std::exp(-0.05 * (0.5 * a)) * (2 * c - 1);
    };
    for (const Beam& beam : {Beam(100, 12, 6, perArea), Beam(60, 10, 0, perArea)}) {
        for (const double z : {0.25, 10.25}) {
            const double central = beam.At(0.001, 0, z).Scatter;
            for (const PhantomPoint& p : std::vector<PhantomPoint>{
                     {3, 2, z}, {-6.5, 0, z}, {0, 14, z}, {-20, -11, z}, {25, 0, z}})
                EXPECT_NEAR(beam.At(p.X, p.Y, z).Scatter, central, 1e-9 * central)
                    << "(" << p.X << ", " << p.Y << ", " << z << ")";
        }
        const veltrim::PointDose a = beam.At(4, 1.5, 7.3);
        const veltrim::PointDose b = beam.At(-4, -1.5, 7.3);
        EXPECT_NEAR(a.Primary, b.Primary, 1e-12 * a.Primary);
    }
}

// The primary follows its own ray from the focus and stops at the field's
// divergent edge; the scatter of a depth between two layer middles lies on
// the exponential through them.
TEST(PointDose, PrimaryStopsAtTheProjectedEdgeAndScatterFollowsTheLayers) {
    const Beam beam(100, 10, 20);
    const double z = 10.0;
    const double edge = 5 * (100 + z) / 100;
    EXPECT_GT(beam.At(edge - 1e-9, 0, z).Primary, 0.0);
    EXPECT_EQ(beam.At(edge + 1e-9, 0, z).Primary, 0.0);
    EXPECT_EQ(beam.At(0, 2 * edge + 1e-9, z).Primary, 0.0);
    EXPECT_GT(beam.At(edge + 1e-9, 0, z).Scatter, 0.0);
    // Half way between the middles 9.75 and 10.25 cm.
    const double x = 3;
    const double above = beam.At(x, 0, 9.75).Scatter;
    const double below = beam.At(x, 0, 10.25).Scatter;
    EXPECT_NEAR(beam.At(x, 0, 10.0).Scatter, std::sqrt(above * below), 1e-12 * above);
}

// The point-focus model off the axis. Point-focus kernels that are the
// classic ones times a factor that grows with depth and times the focus's
// fall-off over the ring: on the axis the point-focus sums themselves, bit
// for bit; just off it the same within the axis's model pi (3.14159 in its
// ring shares, against the exact pi off the axis), the fall-off taken out of
// the kernels and put back as the point's own; beside the field, where the
// rays converge on the point, below the classic scatter, as on the axis
// above it (a tilt of the wrong sign does the opposite).
TEST(PointDose, DivergentPointsSeeTheFieldsRaysTiltedFromWhereTheyStand) {
    const double fsd = 100;
    const Beam classic(fsd, 10, 10);
    const auto factor = [](int a) { return 1 + a / 20.0; };
    const Beam divergent(fsd, 10, 10, [&](int e, int a, int c) {
        const double m = (0.5 * c - 0.25) / (fsd + LayerMiddle(a));
        return synthetic::SyntheticKernel(e, a, c) * factor(a) /
               ((1 + m * m) * std::sqrt(1 + m * m));
    });
    const double z = LayerMiddle(21);
    const std::vector<PhantomPoint> points{{0, 0, z}, {1e-7, 0, z}, {0, 1e-7, z}, {15, 0, z}};
    veltrim::KernelSetSource classicSource(*classic.kernels);
    veltrim::KernelSetSource divergentSource(*divergent.kernels);
    const std::vector<veltrim::PointDose> doses =
        veltrim::DivergentDoseAtPoints(divergent.Point(), divergentSource, classicSource, points);
    const std::vector<veltrim::PointDose> plain = classic.At(points);
    EXPECT_EQ(doses[0].Scatter, divergent.At(points)[0].Scatter);
    EXPECT_GT(doses[0].Scatter, plain[0].Scatter);
    for (const std::size_t n : {1, 2})
        EXPECT_NEAR(doses[n].Scatter, doses[0].Scatter, 1e-6 * doses[0].Scatter) << "point " << n;
    EXPECT_LT(doses[3].Scatter, plain[3].Scatter);
    EXPECT_GT(doses[3].Scatter, 0.5 * plain[3].Scatter);
    for (std::size_t n = 0; n < points.size(); ++n)
        EXPECT_EQ(doses[n].Primary, plain[n].Primary);
}

TEST(PointDose, WhatCannotBeComputedIsRefusedWithTheRange) {
    const Beam beam(100, 10, 10);
    EXPECT_NE(beam.Refusal(NAN, 0, 5).find("not a number"), std::string::npos);
    EXPECT_NE(beam.Refusal(0, INFINITY, 5).find("not a number"), std::string::npos);
    EXPECT_NE(beam.Refusal(0, 0, -0.1).find("from 0 to 30 cm"), std::string::npos);
    EXPECT_NE(beam.Refusal(1, 0, 30.01).find("from 0 to 30 cm"), std::string::npos);
    EXPECT_EQ(beam.Refusal(0, 0, 30), "");
    // At 20.25 cm the half side is 6.0125 cm: the far corner leaves the
    // 100 cm the kernels reach with their tails for a point beyond 93.81 cm
    // out along x.
    const std::string refused = beam.Refusal(93.9, 0, 20.25);
    EXPECT_NE(refused.find("up to 93.8 cm"), std::string::npos) << refused;
    EXPECT_EQ(beam.Refusal(93.8, 0, 20.25), "");
}

// A kernel that falls off geometrically beyond 30 cm goes on along the same
// line beyond its 80 rings, each row from its own amplitude; one that does
// not fall off has no tail (rather than one that never ends), nor has a row
// without scatter out there.
TEST(KernelTail, ContinuesEachRowAtTheTablesRate) {
    auto table = std::make_unique<veltrim::ScatterKernelTable>();
    const auto value = [](int a, int c) { return (1 + a) * 1e-3 * std::pow(0.93, c); };
    for (int a = 1; a <= 80; ++a)
        for (int c = 1; c <= 80; ++c)
            (*table)[c][a] = a == 7 ? 0.0 : value(a, c);
    veltrim::ExtendedKernel kernel;
    kernel.Take(*table);
    EXPECT_NEAR(kernel.Rate(), 0.93, 1e-12);
    for (const int a : {1, 40, 80})
        for (const int r : {80, 81, 140, 200})
            EXPECT_NEAR(kernel.At(r, a), value(a, r), 1e-10 * value(a, r)) << a << ", " << r;
    EXPECT_EQ(kernel.At(81, 7), 0.0);
    for (int a = 1; a <= 80; ++a)
        for (int c = 1; c <= 80; ++c)
            (*table)[c][a] = 1e-3 * c;
    kernel.Take(*table);
    EXPECT_EQ(kernel.Rate(), 0.0);
    EXPECT_EQ(kernel.At(81, 1), 0.0);
    EXPECT_EQ(kernel.At(80, 1), 0.08);
}

// The map's isodose lines by marching squares. On a dose that falls
// exponentially with depth and with distance from the axis every crossing
// lies on the level itself (the logarithmic interpolation along an edge is
// exact there, a linear one is not); cells with a corner beyond reach give
// none; a saddle cell is split as its mean lies.
TEST(IsodoseLine, CrossingsLieOnTheLevelAndSaddlesFollowTheMean) {
    const auto dose = [](double x, double z) {
        return 100 * std::exp(-0.2 * z - 0.1 * std::fabs(x));
    };
    veltrim::DosePlane plane;
    plane.Rows = 10;
    for (int r = 0; r < plane.Rows; ++r)
        for (int c = 0; c < plane.Columns; ++c)
            plane.Total.push_back(plane.Lateral(c) > 10 ? NAN
                                                        : dose(plane.Lateral(c), plane.Depth(r)));
    const std::vector<veltrim::IsodoseSegment> line = veltrim::IsodoseLine(plane, 20);
    ASSERT_FALSE(line.empty());
    bool left = false;
    for (const veltrim::IsodoseSegment& s : line) {
        EXPECT_NEAR(dose(s.Lateral0, s.Depth0), 20, 1e-12 * 20);
        EXPECT_NEAR(dose(s.Lateral1, s.Depth1), 20, 1e-12 * 20);
        EXPECT_LE(std::max(s.Lateral0, s.Lateral1), 10.0);
        left = left || s.Lateral0 < -6;
    }
    EXPECT_TRUE(left);

    // High at top left and bottom right (mean 5.5): at level 5 they stay
    // joined and the line cuts off the low corners, at 6 it cuts off the
    // high ones.
    veltrim::DosePlane saddle;
    saddle.Rows = 2;
    saddle.Columns = 2;
    saddle.Total = {10, 1, 1, 10};
    const auto cornersCutOff = [&](double level) {
        std::vector<std::string> cut;
        for (const veltrim::IsodoseSegment& s : veltrim::IsodoseLine(saddle, level)) {
            const bool top = s.Depth0 == saddle.Depth(0) || s.Depth1 == saddle.Depth(0);
            const bool right = s.Lateral0 == saddle.Lateral(1) || s.Lateral1 == saddle.Lateral(1);
            cut.push_back(std::string(top ? "top" : "bottom") + (right ? " right" : " left"));
        }
        std::sort(cut.begin(), cut.end());
        return cut;
    };
    EXPECT_EQ(cornersCutOff(5), (std::vector<std::string>{"bottom left", "top right"}));
    EXPECT_EQ(cornersCutOff(6), (std::vector<std::string>{"bottom right", "top left"}));
}

} // namespace
