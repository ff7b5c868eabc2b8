#include "dose/DepthDose.h"

#include "calculation/SharedState.h"
#include "common/FailureMessages.h"
#include "common/TempFolder.h"
#include "dose/SyntheticData.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using veltrim::PrimaryPdd;
using veltrim::ScatterPdd;
using veltrim::TotalPdd;
using veltrim::testing::TempFolder;
namespace fs = std::filesystem;

// A state over the made-up data of SyntheticData.h, with a spectrum shaped
// like a filtered bremsstrahlung spectrum and the default conditions.
struct DoseFixture {
    TempFolder dir;
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink, dir.Path(), dir.Path()};

    DoseFixture() {
        veltrim::testing::WriteSyntheticDoseData(dir.Path());
        SetConditions(80, 100, 30, 30);
    }

    void SetConditions(double kv, double fsd, double fieldX, double fieldY) {
        auto& c = state.Conditions;
        c.TubeVoltage = kv;
        c.TargetAngle = 12;
        c.InherentFiltration = 0.25;
        c.Fsd = fsd;
        c.FieldX = fieldX;
        c.FieldY = fieldY;
        state.Spectrum = {};
        const int top = static_cast<int>(2 * kv);
        for (int i = 21; i <= top; ++i)
            state.Spectrum[i] = (top - i) * std::exp(-60.0 / i) / 1000;
    }

    void SpectrumInOneBin(int bin) {
        state.Spectrum = {};
        state.Spectrum[bin] = 1.0;
    }

    void WriteKernels(const std::function<double(int energyKeV, int row, int ring)>& value) {
        for (int e = 10; e <= 150; e += 5)
            WriteKernel(e,
                        veltrim::testing::KernelText([&](int a, int c) { return value(e, a, c); }));
    }
    void WriteKernel(int energyKeV, const std::string& text) {
        dir.Write((fs::path(veltrim::KernelFolder) / veltrim::KernelFile(energyKeV)).string(),
                  text);
    }

    bool Run() { return state.LoadTissueTables() && state.ComputeDepthDose(); }
    std::string ResultsBytes() const {
        return veltrim::testing::ReadBytes(dir / "PDD_tempDATA.txt");
    }
};

double LayerMiddle(int d) {
    return 0.5 * d - 0.25;
}
double InverseSquare(double fsd, int d) {
    return fsd * fsd / ((fsd + LayerMiddle(d)) * (fsd + LayerMiddle(d)));
}

TEST(DepthDose, FirstLayerIsExactlyHundredAndEveryRowIsPrimaryPlusScatter) {
    DoseFixture f;
    ASSERT_TRUE(f.Run()) << f.state.DepthDoseFailureCause;
    EXPECT_TRUE(f.sink.Messages.empty());
    ASSERT_EQ(f.state.DepthRowCount, 60);
    const auto& result = f.state.DepthDoseResult;
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

TEST(DepthDose, SecondCalculationOnTheSameInputsGivesTheSameBits) {
    DoseFixture f;
    ASSERT_TRUE(f.Run());
    const veltrim::DepthDoseTable first = f.state.DepthDoseResult;
    const std::string firstFile = f.ResultsBytes();
    f.SetConditions(80, 100, 30, 30);
    ASSERT_TRUE(f.Run());
    EXPECT_EQ(f.state.DepthDoseResult, first);
    EXPECT_EQ(f.ResultsBytes(), firstFile);
}

TEST(DepthDose, PrimaryFollowsInverseSquareAndTissueAttenuation) {
    DoseFixture f;
    // Flat coefficients make mu the same at every energy: 0.1 + 0.05 + 0.02.
    f.dir.Write("ICRUSoft.dat", "3, 0\n0.005, 0.1, 0.05, 0.02\n0.05, 0.1, 0.05, 0.02\n"
                                "0.2, 0.1, 0.05, 0.02\n");
    f.WriteKernels([](int, int, int) { return 0.0; });
    f.SpectrumInOneBin(101); // 50.5 keV: between the nodes, where no scatter may be invented
    ASSERT_TRUE(f.Run()) << f.state.DepthDoseFailureCause;
    const double mu = 0.17;
    const auto primary = [&](int d) {
        return InverseSquare(100, d) * std::exp(-mu * LayerMiddle(d));
    };
    for (int d = 1; d <= 60; ++d) {
        EXPECT_NEAR(f.state.DepthDoseResult[d][PrimaryPdd], 100 * primary(d) / primary(1),
                    1e-12 * f.state.DepthDoseResult[d][PrimaryPdd])
            << "row " << d;
        EXPECT_EQ(f.state.DepthDoseResult[d][ScatterPdd], 0.0) << "row " << d;
    }
}

TEST(DepthDose, CircularFieldCountsWholeRingsUpToItsProjectedRadius) {
    DoseFixture f;
    f.WriteKernels([](int, int, int) { return 1.0; });
    f.SetConditions(80, 50, 20, 0);
    f.SpectrumInOneBin(100);
    ASSERT_TRUE(f.Run()) << f.state.DepthDoseFailureCause;
    EXPECT_TRUE(f.state.CircularField);
    EXPECT_EQ(f.state.Conditions.FieldX, 10.0);
    EXPECT_EQ(f.state.Conditions.FieldY, 0.0);
    for (int d = 1; d <= 60; ++d) {
        const double radius = 10 * (50 + LayerMiddle(d)) / 50;
        const double rings = std::floor(2 * radius) + 1;
        EXPECT_NEAR(f.state.ScatterByEnergy[100][d], rings * InverseSquare(50, d), 1e-13)
            << "row " << d;
    }
    // A field of no size still counts the first ring whole.
    f.SetConditions(80, 50, 0, 0);
    f.SpectrumInOneBin(100);
    ASSERT_TRUE(f.Run());
    for (int d = 1; d <= 60; ++d)
        EXPECT_EQ(f.state.ScatterByEnergy[100][d], InverseSquare(50, d)) << "row " << d;
}

TEST(DepthDose, FieldSidesAreOrderedAndHalvedSoTheirOrderDoesNotMatter) {
    DoseFixture f;
    f.SetConditions(80, 100, 10, 20);
    ASSERT_TRUE(f.Run());
    EXPECT_EQ(f.state.Conditions.FieldX, 10.0);
    EXPECT_EQ(f.state.Conditions.FieldY, 5.0);
    const veltrim::DepthDoseTable tallFirst = f.state.DepthDoseResult;
    const std::string tallFile = f.ResultsBytes();
    f.SetConditions(80, 100, 20, 10);
    ASSERT_TRUE(f.Run());
    EXPECT_EQ(f.state.DepthDoseResult, tallFirst);
    EXPECT_EQ(f.ResultsBytes(), tallFile);
}

TEST(DepthDose, ScatterBetweenNodesIsInterpolatedInTheLogarithm) {
    DoseFixture f;
    f.SetConditions(83, 100, 30, 30); // top bin 166, between the 80- and 85-keV nodes
    ASSERT_TRUE(f.Run());
    const auto& s = f.state.ScatterByEnergy;
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
TEST(DepthDose, ZeroScatterNodeIsInterpolatedLinearlyAndStaysZero) {
    DoseFixture f;
    f.WriteKernels([](int e, int a, int c) {
        return e == 85 ? 0.0 : veltrim::testing::SyntheticKernel(e, a, c);
    });
    f.SetConditions(100, 100, 30, 30);
    ASSERT_TRUE(f.Run()) << f.state.DepthDoseFailureCause;
    const auto& s = f.state.ScatterByEnergy;
    for (int d = 1; d <= 60; d += 7) {
        EXPECT_EQ(s[170][d], 0.0);
        EXPECT_NEAR(s[165][d], 0.5 * s[160][d], 1e-15);
        EXPECT_NEAR(s[161][d], 0.9 * s[160][d], 1e-15);
        EXPECT_NEAR(s[175][d], 0.5 * s[180][d], 1e-15);
    }
}

// Each failure must show the one message, leave the previous table and the
// previous results file as they were and leave nothing non-finite behind.
// (Kernel files broken on disk are the hardening tests' breakages.)
TEST(DepthDose, EveryFailureShowsTheMessageAndKeepsThePreviousResults) {
    struct Case {
        const char* name;
        std::function<void(DoseFixture&)> spoil;
        const char* cause = ""; // what the second line of the message must name
    };
    const std::string tissue = veltrim::testing::SyntheticTissueText();
    const Case cases[] = {
        {"FSD 0", [](DoseFixture& f) { f.SetConditions(80, 0, 30, 30); }, "distance (FSD) is 0 cm"},
        {"focus in a layer", [](DoseFixture& f) { f.SetConditions(80, -0.25, 30, 30); }},
        {"0 x 10 is no circle", [](DoseFixture& f) { f.SetConditions(80, 100, 0, 10); },
         "type 0 as the second side for a circle, or a positive size"},
        {"negative side", [](DoseFixture& f) { f.SetConditions(80, 100, 30, -10); }},
        {"40 x 40 at FSD 50 needs 91 rings",
         [](DoseFixture& f) { f.SetConditions(80, 50, 40, 40); },
         "At 20.75 cm the field corner lies 40.0222 cm"},
        {"equal tissue energies",
         [](DoseFixture& f) {
             f.dir.Write("ICRUSoft.dat",
                         "3, 0\n0.01, 1, 1, 1\n0.05, 1, 1, 1\n0.05, 1, 1, 1\n0.2, 1, 1, 1\n");
         }},
        {"tissue table ends below the tube voltage",
         [](DoseFixture& f) {
             f.dir.Write("ICRUSoft.dat", "2, 0\n0.01, 1, 1, 1\n0.08, 1, 1, 1\n");
         }},
        {"zero tissue coefficient",
         [](DoseFixture& f) {
             f.dir.Write("ICRUSoft.dat", "2, 0\n0.01, 1, 0, 1\n0.2, 1, 1, 1\n");
         }},
        {"no dose in the first layer", [](DoseFixture& f) { f.state.Spectrum = {}; },
         "first layer is 0"},
        {"negative scatter node in use",
         [](DoseFixture& f) {
             f.WriteKernel(85, veltrim::testing::KernelText([](int, int) { return -1.0; }));
             f.SetConditions(100, 100, 30, 30);
         }},
        {"dose overflows", [](DoseFixture& f) { f.state.Spectrum[100] = 1e308; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoseFixture f;
        ASSERT_TRUE(f.Run());
        const veltrim::DepthDoseTable before = f.state.DepthDoseResult;
        const std::string fileBefore = f.ResultsBytes();
        c.spoil(f);
        ASSERT_TRUE(f.state.LoadTissueTables());
        EXPECT_FALSE(f.state.ComputeDepthDose());
        EXPECT_TRUE(veltrim::testing::IsOneDepthDoseFailure(f.sink.Messages));
        EXPECT_FALSE(f.state.DepthDoseFailureCause.empty());
        ASSERT_FALSE(f.sink.Messages.empty());
        EXPECT_NE(f.sink.Messages[0].find(c.cause), std::string::npos) << f.sink.Messages[0];
        EXPECT_EQ(f.state.DepthDoseResult, before);
        for (const auto& row : f.state.DepthDoseResult)
            for (const double value : row)
                EXPECT_TRUE(std::isfinite(value));
        EXPECT_EQ(f.ResultsBytes(), fileBefore);
    }
}

// The message names the depth where the corner leaves the kernels and the
// largest field that fits at this FSD; that field must compute, and one a
// little larger must not.
TEST(DepthDose, ATooLargeFieldIsToldTheLargestThatFits) {
    DoseFixture f;
    f.state.Edition = veltrim::Language::Japanese;
    f.SetConditions(80, 60, 50, 50);
    ASSERT_TRUE(f.state.LoadTissueTables());
    EXPECT_FALSE(f.state.ComputeDepthDose());
    ASSERT_TRUE(veltrim::testing::IsOneDepthDoseFailure(f.sink.Messages));
    const std::string& message = f.sink.Messages[0];
    // 40 cm * 60 / (60 + 29.75) at the corner: a square of 37.8 cm, a circle of 53.4 cm.
    EXPECT_NE(message.find(
                  "FSD 60 cm で収まる最大の照射野は 37.8 cm の正方形、または直径 53.4 cm の円です"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("深さ 8.25 cm で照射野の角が中心軸から 40.2167 cm"), std::string::npos)
        << message;

    for (const auto& [x, y, fits] : {std::tuple{37.8, 37.8, true}, std::tuple{53.4, 0.0, true},
                                     std::tuple{38.0, 38.0, false}, std::tuple{53.6, 0.0, false}}) {
        f.SetConditions(80, 60, x, y);
        EXPECT_EQ(f.state.ComputeDepthDose(), fits) << x << " x " << y;
    }
}

// The cause is told in the edition's language, under the same first line.
TEST(DepthDose, TheCauseIsInTheEditionsLanguage) {
    DoseFixture f;
    f.state.Edition = veltrim::Language::Japanese;
    f.SetConditions(80, 0, 30, 30);
    ASSERT_TRUE(f.state.LoadTissueTables());
    EXPECT_FALSE(f.state.ComputeDepthDose());
    ASSERT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_EQ(f.sink.Messages[0],
              std::string(veltrim::DepthDoseFailureMessage) +
                  "\n焦点-表面間距離 (FSD) が 0 cm "
                  "です。焦点から皮膚までの距離を 0 cm より大きく入力してください。");
}

} // namespace
