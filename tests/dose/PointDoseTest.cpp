#include "dose/PointDose.h"

#include "core/CalculationError.h"
#include "dose/SyntheticData.h"

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

    Beam(double fsd, double fieldX, double fieldY,
         const std::function<double(int, int, int)>& kernel = synthetic::SyntheticKernel)
        : SyntheticBeam(kernel) {
        conditions.TubeVoltage = 80;
        conditions.Fsd = fsd;
        conditions.FieldX = fieldX;
        conditions.FieldY = fieldY;
        spectrum = synthetic::SyntheticSpectrum(80);
        veltrim::KernelSetSource source(*kernels);
        axis = std::make_unique<veltrim::DepthDoseCalculation>(
            veltrim::CalculateDepthDose(spectrum, tissue, source, conditions, 30.0, 3.14159));
    }
    std::vector<veltrim::PointDose> At(const std::vector<PhantomPoint>& points) const {
        veltrim::KernelSetSource source(*kernels);
        return veltrim::DoseAtPoints({spectrum, tissue, *axis, conditions, 3.14159}, source,
                                     points);
    }
    veltrim::PointDose At(double x, double y, double z) const { return At({{x, y, z}})[0]; }
    std::string Refusal(double x, double y, double z) const {
        try {
            At({{0, 0, 1}, {x, y, z}});
            return "";
        } catch (const veltrim::CalculationError& e) {
            return e.what();
        }
    }
};

// The axis's sums are formed term for term as the depth dose forms them, for
// a rectangle typed with its shorter side first (the table orders the sides)
// and for a circle, whose rings the table counts whole.
TEST(PointDose, OnTheAxisEveryLayerMiddleGivesTheTableItself) {
    for (const Beam& beam : {Beam(100, 10, 20), Beam(80, 15, 0)}) {
        std::vector<PhantomPoint> points;
        for (int d = 1; d <= beam.axis->Rows; ++d)
            points.push_back({0, 0, LayerMiddle(d)});
        const std::vector<veltrim::PointDose> doses = beam.At(points);
        for (int d = 1; d <= beam.axis->Rows; ++d) {
            const veltrim::PointDose& p = doses[static_cast<std::size_t>(d - 1)];
            EXPECT_NEAR(p.Primary, beam.axis->PrimaryDose[d], 1e-12 * p.Primary) << "row " << d;
            EXPECT_NEAR(p.Scatter, beam.axis->ScatterDose[d], 1e-12 * p.Scatter) << "row " << d;
            EXPECT_NEAR(veltrim::PercentOfFirstLayer(*beam.axis, p.Primary + p.Scatter),
                        beam.axis->Table[d][veltrim::TotalPdd], 1e-12 * 100)
                << "row " << d;
        }
    }
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

TEST(PointDose, WhatCannotBeComputedIsRefusedWithTheRange) {
    const Beam beam(100, 10, 10);
    EXPECT_NE(beam.Refusal(NAN, 0, 5).find("not a number"), std::string::npos);
    EXPECT_NE(beam.Refusal(0, INFINITY, 5).find("not a number"), std::string::npos);
    EXPECT_NE(beam.Refusal(0, 0, -0.1).find("from 0 to 30 cm"), std::string::npos);
    EXPECT_NE(beam.Refusal(1, 0, 30.01).find("from 0 to 30 cm"), std::string::npos);
    EXPECT_EQ(beam.Refusal(0, 0, 30), "");
    // At 20.25 cm the half side is 6.0125 cm: the far corner leaves the
    // 40 cm of the kernels for a point beyond 33.53 cm out along x.
    const std::string refused = beam.Refusal(33.6, 0, 20.25);
    EXPECT_NE(refused.find("up to 33.5 cm"), std::string::npos) << refused;
    EXPECT_EQ(beam.Refusal(33.5, 0, 20.25), "");
}

} // namespace
