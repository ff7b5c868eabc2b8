#include "dose/DepthDose.h"

#include "common/RefusalHelpers.h"
#include "core/CalculationError.h"
#include "dose/SyntheticData.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using veltrim::DepthDoseCalculation;
using veltrim::LayerMiddle;
using veltrim::PrimaryPdd;
using veltrim::ScatterPdd;
using veltrim::TotalPdd;
namespace synthetic = veltrim::testing;

// One calculation over the made-up data of SyntheticData.h, by default of
// the default conditions.
struct DoseInputs : synthetic::SyntheticBeam {
    veltrim::DepthDoseRules rules;

    DoseInputs() { SetConditions(80, 100, 30, 30); }
    void SpectrumInOneBin(int bin) {
        spectrum = {};
        spectrum[bin] = 1.0;
    }
    std::unique_ptr<DepthDoseCalculation> Calculate() const {
        veltrim::KernelSetSource source(*kernels);
        return std::make_unique<DepthDoseCalculation>(veltrim::CalculateDepthDose(
            spectrum, tissue, source, conditions, 30.0, 3.14159, rules));
    }
    // The cause of the failure, in English; empty when the table was formed.
    std::string FailureCause() const {
        return synthetic::RefusalOf<veltrim::CalculationError>([&] { Calculate(); });
    }
};

double InverseSquare(double fsd, int d) {
    return fsd * fsd / ((fsd + LayerMiddle(d)) * (fsd + LayerMiddle(d)));
}

TEST(DepthDose, FirstLayerIsExactlyHundredAndEveryRowIsPrimaryPlusScatter) {
    const auto calculation = DoseInputs().Calculate();
    ASSERT_EQ(calculation->Rows, 60);
    const auto& result = calculation->Table;
    EXPECT_EQ(result[1][TotalPdd], 100.0);
    EXPECT_NEAR(result[1][PrimaryPdd] + result[1][ScatterPdd], 100.0, 1e-12);
    for (int d = 1; d <= 60; ++d) {
        EXPECT_GT(result[d][PrimaryPdd], 0.0);
        EXPECT_GT(result[d][ScatterPdd], 0.0);
        EXPECT_NEAR(result[d][TotalPdd], result[d][PrimaryPdd] + result[d][ScatterPdd],
                    1e-12 * result[d][TotalPdd]);
    }
    EXPECT_LT(result[60][TotalPdd], result[20][TotalPdd]);
}

TEST(DepthDose, PrimaryFollowsInverseSquareAndTissueAttenuation) {
    DoseInputs in;
    // Flat coefficients make mu the same at every energy: 0.1 + 0.05 + 0.02.
    in.tissue = synthetic::SyntheticTissue("3, 0\n0.005, 0.1, 0.05, 0.02\n0.05, 0.1, 0.05, 0.02\n"
                                           "0.2, 0.1, 0.05, 0.02\n");
    in.kernels = synthetic::SyntheticKernels([](int, int, int) { return 0.0; });
    in.SpectrumInOneBin(101); // 50.5 keV: between the nodes, where no scatter may be invented
    const auto calculation = in.Calculate();
    const double mu = 0.17;
    const auto primary = [&](int d) {
        return InverseSquare(100, d) * std::exp(-mu * LayerMiddle(d));
    };
    for (int d = 1; d <= 60; ++d) {
        EXPECT_NEAR(calculation->Table[d][PrimaryPdd], 100 * primary(d) / primary(1),
                    1e-12 * calculation->Table[d][PrimaryPdd])
            << "row " << d;
        EXPECT_EQ(calculation->Table[d][ScatterPdd], 0.0) << "row " << d;
    }
}

TEST(DepthDose, CircularFieldCountsWholeRingsUpToItsProjectedRadius) {
    DoseInputs in;
    in.kernels = synthetic::SyntheticKernels([](int, int, int) { return 1.0; });
    in.SetConditions(80, 50, 20, 0);
    in.SpectrumInOneBin(100);
    auto calculation = in.Calculate();
    EXPECT_TRUE(calculation->CircularField);
    EXPECT_EQ(calculation->HalfFieldX, 10.0);
    EXPECT_EQ(calculation->HalfFieldY, 0.0);
    for (int d = 1; d <= 60; ++d) {
        const double radius = 10 * (50 + LayerMiddle(d)) / 50;
        const double rings = std::floor(2 * radius) + 1;
        EXPECT_NEAR(calculation->ScatterByEnergy[100][d], rings * InverseSquare(50, d), 1e-13)
            << "row " << d;
    }
    // A field of no size still counts the first ring whole.
    in.SetConditions(80, 50, 0, 0);
    in.SpectrumInOneBin(100);
    calculation = in.Calculate();
    for (int d = 1; d <= 60; ++d)
        EXPECT_EQ(calculation->ScatterByEnergy[100][d], InverseSquare(50, d)) << "row " << d;
}

TEST(DepthDose, FieldSidesAreOrderedAndHalvedSoTheirOrderDoesNotMatter) {
    DoseInputs in;
    in.SetConditions(80, 100, 10, 20);
    const auto tallFirst = in.Calculate();
    EXPECT_EQ(tallFirst->HalfFieldX, 10.0);
    EXPECT_EQ(tallFirst->HalfFieldY, 5.0);
    in.SetConditions(80, 100, 20, 10);
    EXPECT_EQ(in.Calculate()->Table, tallFirst->Table);
}

TEST(DepthDose, ScatterBetweenNodesIsInterpolatedInTheLogarithm) {
    DoseInputs in;
    in.SetConditions(83, 100, 30, 30); // top bin 166, between the 80- and 85-keV nodes
    const auto calculation = in.Calculate();
    const auto& s = calculation->ScatterByEnergy;
    for (int d = 1; d <= 60; d += 7) {
        EXPECT_NEAR(s[165][d], std::sqrt(s[160][d] * s[170][d]), 1e-13 * s[165][d]);
        EXPECT_NEAR(s[161][d], s[160][d] * std::pow(s[170][d] / s[160][d], 0.1), 1e-13 * s[161][d]);
        EXPECT_GT(s[166][d], 0.0);
        EXPECT_EQ(s[167][d], 0.0) << "bins above the tube voltage take no part";
        EXPECT_GT(s[300][d], 0.0) << "every node is computed whatever the voltage";
    }
}

// A node without scatter gives its neighbours a linear share of the other
// node and stays 0 itself; no dose is invented where a kernel holds none.
// The rule as first written (the zero taken as 1.0) does invent it.
TEST(DepthDose, ZeroScatterNodeIsInterpolatedLinearlyAndStaysZero) {
    DoseInputs in;
    in.kernels = synthetic::SyntheticKernels(
        [](int e, int a, int c) { return e == 85 ? 0.0 : synthetic::SyntheticKernel(e, a, c); });
    in.SetConditions(100, 100, 30, 30);
    const auto calculation = in.Calculate();
    const auto& s = calculation->ScatterByEnergy;
    for (int d = 1; d <= 60; d += 7) {
        EXPECT_EQ(s[170][d], 0.0);
        EXPECT_NEAR(s[165][d], 0.5 * s[160][d], 1e-15);
        EXPECT_NEAR(s[161][d], 0.9 * s[160][d], 1e-15);
        EXPECT_NEAR(s[175][d], 0.5 * s[180][d], 1e-15);
    }
    in.rules.LinearAtZeroNodes = false;
    const auto firstRule = in.Calculate();
    EXPECT_EQ(firstRule->ScatterByEnergy[170][1], 1.0);
    EXPECT_GT(firstRule->Table[30][ScatterPdd], calculation->Table[30][ScatterPdd]);
}

// Rings that pass the corner of a rectangle: without the corner area added
// back their share is too small, and so is the scatter; a circle has no corner.
TEST(DepthDose, CornerRuleChangesOnlyRectangles) {
    DoseInputs in;
    in.SetConditions(80, 100, 10, 1); // ring 11 (5 to 5.5 cm) passes the corner at 5.02 cm
    const auto mended = in.Calculate();
    in.rules.CornerAddedBack = false;
    const auto firstRule = in.Calculate();
    EXPECT_LT(firstRule->ScatterDose[1], mended->ScatterDose[1]);
    EXPECT_EQ(firstRule->PrimaryDose, mended->PrimaryDose);
    in.SetConditions(80, 100, 20, 0);
    const auto circle = in.Calculate();
    in.rules.CornerAddedBack = true;
    EXPECT_EQ(in.Calculate()->Table, circle->Table);
}

// Each cause is found where it arises and named, before it can turn into an
// infinity or a not-a-number.
TEST(DepthDose, EveryFailureNamesItsCause) {
    using Spoil = std::function<void(DoseInputs&)>;
    const auto geometry = [](double kv, double fsd, double x, double y) -> Spoil {
        return [=](DoseInputs& in) { in.SetConditions(kv, fsd, x, y); };
    };
    const auto tissue = [](const char* text) -> Spoil {
        return [=](DoseInputs& in) { in.tissue = synthetic::SyntheticTissue(text); };
    };
    struct Case {
        const char* name;
        Spoil spoil;
        const char* cause; // what the message must name
    };
    const Case cases[] = {
        {"FSD 0", geometry(80, 0, 30, 30), "distance (FSD) is 0 cm"},
        {"focus in a layer", geometry(80, -0.25, 30, 30), "focus"},
        {"0 x 10 is no circle", geometry(80, 100, 0, 10),
         "type 0 as the second side for a circle, or a positive size"},
        {"negative side", geometry(80, 100, 30, -10), "ring"},
        // 40 cm * 60 / (60 + 29.75) at the corner: a square of 37.8 cm, a circle of 53.4 cm.
        {"50 x 50 at FSD 60", geometry(80, 60, 50, 50),
         "At 8.25 cm the field corner lies 40.2167 cm from the axis, beyond the 40 cm the scatter "
         "data cover. At FSD 60 cm the largest field that fits is a square of 37.8 cm or a circle "
         "of 53.4 cm."},
        {"equal tissue energies", tissue("3, 0\n0.2, 1, 1, 1\n0.2, 1, 1, 1\n0.3, 1, 1, 1\n"),
         "share the energy 200 keV"},
        {"tissue table ends below the tube voltage", tissue("2, 0\n0.01, 1, 1, 1\n0.08, 1, 1, 1\n"),
         "at or above the last energy"},
        {"zero tissue coefficient", tissue("2, 0\n0.01, 1, 0, 1\n0.2, 1, 1, 1\n"),
         "Row 1 of the tissue table ICRUSoft.dat holds 0"},
        {"no dose in the first layer", [](DoseInputs& in) { in.spectrum = {}; },
         "first layer is 0"},
        {"negative scatter node in use",
         [](DoseInputs& in) {
             in.kernels = synthetic::SyntheticKernels([](int e, int a, int c) {
                 return e == 85 ? -1.0 : synthetic::SyntheticKernel(e, a, c);
             });
             in.SetConditions(100, 100, 30, 30);
         },
         "85 keV"},
        {"dose overflows", [](DoseInputs& in) { in.spectrum[100] = 1e308; }, "not finite"},
        // The largest fields the message names compute, a little larger ones do not.
        {"37.8 x 37.8 at FSD 60", geometry(80, 60, 37.8, 37.8), ""},
        {"circle of 53.4 at FSD 60", geometry(80, 60, 53.4, 0), ""},
        {"38 x 38 at FSD 60", geometry(80, 60, 38, 38), "beyond the 40 cm"},
        {"circle of 53.6 at FSD 60", geometry(80, 60, 53.6, 0), "beyond the 40 cm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoseInputs in;
        c.spoil(in);
        const std::string cause = in.FailureCause();
        if (*c.cause)
            EXPECT_NE(cause.find(c.cause), std::string::npos) << cause;
        else
            EXPECT_EQ(cause, "");
    }
}

} // namespace
