// The whole calculation on the data files that ship with the program.
#include "common/ShippedData.h"

#include "common/RefusalHelpers.h"
#include "common/TempFolder.h"
#include "dose/DepthDose.h"
#include "dose/FocusKernels.h"
#include "engine/BeamPoints.h"
#include "engine/CalculateBeam.h"
#include "files/ResultsFile.h"
#include "window/Pipeline.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using veltrim::CalculationResult;
using veltrim::TotalPdd;
using veltrim::testing::TempFolder;
namespace fs = std::filesystem;

using veltrim::testing::KernelsShipped;

// Fails the test, naming the cause, when the shipped kernels are missing.
void AssertKernelsShipped() {
    ASSERT_TRUE(KernelsShipped()) << "the shipped scatter kernels are missing from "
                                  << veltrim::testing::ShippedData / veltrim::KernelFolder;
}

// A beam on the shipped data: its model data, and the default conditions
// for the test to change.
class ShippedData : public ::testing::Test {
  protected:
    void SetUp() override { AssertKernelsShipped(); }
    const std::shared_ptr<const veltrim::ModelData> data =
        veltrim::ModelData::Load(veltrim::testing::ShippedData);
    veltrim::IrradiationConditions c = veltrim::DefaultConditions();
};

// The default and the heaviest conditions the window takes, by the road every
// front end takes: a whole finite table, falling with depth.
TEST_F(ShippedData, TheDefaultAndTheHeaviestConditionsGiveWholeTables) {
    veltrim::IrradiationConditions heaviest = veltrim::DefaultConditions();
    heaviest.TubeVoltage = 150;
    heaviest.FieldX = heaviest.FieldY = 40;
    heaviest.Rectification = veltrim::RectificationMethod::ThreePhase12Peak;
    for (const auto& conditions : {veltrim::DefaultConditions(), heaviest}) {
        const veltrim::BeamResult beam = veltrim::CalculateBeam(conditions, {}, *data);
        ASSERT_EQ(beam.DepthDose->Rows, 60);
        const veltrim::DepthDoseTable& result = beam.DepthDose->Table;
        for (int d = 1; d <= 60; ++d)
            for (int column = 1; column <= 3; ++column)
                EXPECT_TRUE(std::isfinite(result[d][column]) && result[d][column] > 0.0)
                    << "row " << d << ", column " << column;
        EXPECT_LT(result[60][TotalPdd], result[20][TotalPdd]);
        // An 80-kV beam loses most of its dose within the 30 cm of tissue.
        EXPECT_TRUE(conditions.TubeVoltage > 80 || result[60][TotalPdd] < 5.0);
    }
}

// A finite phantom on the shipped exit ratios: 60 cm is the thick phantom
// to the bit in either model; a 20-cm slab ends at 20 cm with the primary
// unchanged and the scatter short near the exit only; the dose at the exit
// face lies below the last layer's.
TEST_F(ShippedData, AFinitePhantomLacksScatterNearItsExitOnly) {
    for (const auto model : {veltrim::ScatterModel::Classic, veltrim::ScatterModel::Divergent}) {
        veltrim::CalculationOptions thick, sixty, slab;
        thick.Model = sixty.Model = slab.Model = model;
        thick.Absolute = slab.Absolute = true;
        sixty.ThicknessCm = 60;
        slab.ThicknessCm = 20;
        const veltrim::BeamResult t = veltrim::CalculateBeam(c, thick, *data);
        EXPECT_EQ(veltrim::CalculateBeam(c, sixty, *data).DepthDose->Table, t.DepthDose->Table);
        const veltrim::BeamResult s = veltrim::CalculateBeam(c, slab, *data);
        ASSERT_EQ(s.DepthDose->Rows, 40);
        for (int d = 1; d <= 40; ++d)
            EXPECT_EQ(s.DepthDose->PrimaryDose[d], t.DepthDose->PrimaryDose[d]) << d;
        const auto scatterShare = [&](int d) {
            return s.DepthDose->ScatterDose[d] / t.DepthDose->ScatterDose[d];
        };
        EXPECT_NEAR(scatterShare(1), 1.0, 1e-3) << "the surface is as far from the exit as can be";
        EXPECT_LT(scatterShare(40), 0.85) << "the last layer";
        EXPECT_LT(scatterShare(40), scatterShare(36));
        const auto exit = veltrim::BeamExitDose(s);
        ASSERT_TRUE(exit);
        EXPECT_LT(*exit->SurfacePerKerma, *exit->LastLayerPerKerma);
        EXPECT_FALSE(veltrim::BeamExitDose(t));
    }
}

// Points of a beam take the kernels of its model (an FSD between two
// point-focus sets mixes them): on the axis they give the table and its mGy,
// whether asked with the calculation or after it. Outside the field the dose
// is scatter alone, a few per cent of the axis's 10 cm beyond the edge.
TEST_F(ShippedData, PointsOnTheAxisGiveTheTableInBothScatterModels) {
    c.Fsd = 90;
    c.FieldX = c.FieldY = 10;
    for (const auto model : {veltrim::ScatterModel::Classic, veltrim::ScatterModel::Divergent}) {
        veltrim::CalculationOptions options;
        options.Model = model;
        options.Given = veltrim::Exposure{veltrim::ExposureKind::IncidentAirKerma, 2.0};
        for (int d = 1; d <= 60; d += 7)
            options.Points.push_back({0, 0, veltrim::LayerMiddle(d)});
        const veltrim::BeamResult beam = veltrim::CalculateBeam(c, options, *data);
        const auto after = veltrim::BeamPointDoses(beam, options.Points, *data);
        for (std::size_t k = 0; k < options.Points.size(); ++k) {
            const int d = 1 + 7 * static_cast<int>(k);
            const veltrim::PointDose& p = beam.Points[k];
            const double total = p.Primary + p.Scatter;
            EXPECT_NEAR(veltrim::PointPercent(beam, total), beam.DepthDose->Table[d][TotalPdd],
                        1e-12 * 100);
            EXPECT_NEAR(*veltrim::PointMgy(beam, total),
                        beam.Absolute->Mgy(beam.Absolute->PerKerma.Total[d]), 1e-12 * 2.0);
            EXPECT_EQ(after[k].Scatter, p.Scatter) << "row " << d;
        }
        const veltrim::PhantomPoint outside{5.5 + 10, 0, 10.25};
        const veltrim::PointDose beyond = veltrim::BeamPointDoses(beam, {&outside, 1}, *data)[0];
        EXPECT_EQ(beyond.Primary, 0.0);
        const double share =
            (beyond.Scatter) / (beam.DepthDose->PrimaryDose[21] + beam.DepthDose->ScatterDose[21]);
        EXPECT_GT(share, 0.005);
        EXPECT_LT(share, 0.1);
    }
}

// A map is computed in bands of depths at once: every point keeps the dose
// it has when asked alone, in the order of the rows, at the bands' seams too.
TEST_F(ShippedData, AMapInBandsGivesEachPointItsOwnDose) {
    c.FieldX = 35;
    c.FieldY = 20;
    veltrim::CalculationOptions options;
    options.Model = veltrim::ScatterModel::Divergent;
    const veltrim::BeamResult beam = veltrim::CalculateBeam(c, options, *data);
    const veltrim::DoseGrid map = veltrim::BeamMap(beam, veltrim::LateralAxis::Y, *data);
    ASSERT_EQ(map.Doses.size(), map.Points.size());
    ASSERT_GT(map.Points.size(), 5000u);
    for (std::size_t k = 1; k < map.Points.size(); ++k)
        ASSERT_LE(map.Points[k - 1].Z, map.Points[k].Z) << k;
    for (std::size_t k = 0; k < map.Points.size(); k += 97) {
        const veltrim::PointDose alone =
            veltrim::BeamPointDoses(beam, {&map.Points[k], 1}, *data)[0];
        EXPECT_EQ(map.Doses[k].Primary, alone.Primary) << k;
        EXPECT_EQ(map.Doses[k].Scatter, alone.Scatter) << k;
    }
}

// A circle's points and its absolute dose take each ring's share inside it,
// and the surface has one dose: on the axis a point gives the dose per unit
// Ka,i of the layer and of the surface (--dose-at), in both models.
TEST_F(ShippedData, PointsAndTheAbsoluteDoseOfACircleAgreeDownFromTheSurface) {
    c.FieldX = 10;
    c.FieldY = 0;
    for (const auto model : {veltrim::ScatterModel::Classic, veltrim::ScatterModel::Divergent}) {
        veltrim::CalculationOptions options;
        options.Model = model;
        options.Given = veltrim::Exposure{veltrim::ExposureKind::IncidentAirKerma, 2.0};
        options.Points = {{0, 0, 0}, {0, 0, veltrim::LayerMiddle(21)}, {0, 0, 0.1}};
        const veltrim::BeamResult beam = veltrim::CalculateBeam(c, options, *data);
        const veltrim::AbsoluteDose& dose = *beam.Absolute;
        const auto mgy = [&](std::size_t k) {
            return *veltrim::PointMgy(beam, beam.Points[k].Primary + beam.Points[k].Scatter);
        };
        EXPECT_NEAR(mgy(0), dose.Mgy(dose.PerKerma.Surface), 1e-12 * 2.0);
        EXPECT_NEAR(mgy(1), dose.Mgy(dose.PerKerma.Total[21]), 1e-12 * 2.0);
        EXPECT_GT(mgy(2), std::min(mgy(0), dose.Mgy(dose.PerKerma.Total[1])));
        EXPECT_LT(mgy(2), std::max(mgy(0), dose.Mgy(dose.PerKerma.Total[1])));
    }
}

// Every point of a 43 x 43 cm field at FSD 100 in a 30-cm patient computes,
// at every depth to the field's corners and 10 cm beyond its edges, in both
// models: the far corner of the field lies up to 79 cm from such a point, so
// the kernels continue on their tails beyond 40 cm. Beyond the 100 cm they
// reach a point is refused with the range.
TEST_F(ShippedData, EveryPointOfTheLargestFieldInAThirtyCentimetrePatientComputes) {
    c.FieldX = c.FieldY = 43;
    for (const auto model : {veltrim::ScatterModel::Classic, veltrim::ScatterModel::Divergent}) {
        veltrim::CalculationOptions options;
        options.Model = model;
        options.ThicknessCm = 30;
        for (const double z : {0.0, 0.25, 7.3, 20.0, 29.75, 30.0}) {
            const double half = 21.5 * (100 + z) / 100;
            for (const double x : {0.0, 0.5 * half, half, -half - 10})
                for (const double y : {0.0, half, half + 10})
                    options.Points.push_back({x, y, z});
        }
        const veltrim::BeamResult beam = veltrim::CalculateBeam(c, options, *data);
        for (std::size_t k = 0; k < options.Points.size(); ++k) {
            const veltrim::PointDose& p = beam.Points[k];
            EXPECT_TRUE(std::isfinite(p.Scatter) && p.Scatter > 0 && p.Primary >= 0)
                << options.Points[k].X << ", " << options.Points[k].Y << ", "
                << options.Points[k].Z;
        }
        options.Points = {{85, 0, 20}};
        const std::string refused = veltrim::testing::RefusalOf<veltrim::BeamError>(
            [&] { veltrim::CalculateBeam(c, options, *data); });
        EXPECT_NE(refused.find("up to 7"), std::string::npos) << refused;
    }
}

// A state over the shipped data, as the window holds it.
class ShippedState : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(AssertKernelsShipped());
        ASSERT_TRUE(state.LoadAttenuationTables());
    }
    TempFolder work;
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink, veltrim::testing::ShippedData, work.Path()};
};

// The divergent-beam model on the shipped point-focus sets: a tabulated FSD
// uses its set, one between two sets their mix in 1/FSD (to the bit), the
// deep dose rises over the classic model's, and below the smallest set the
// calculation is refused with a message, the previous results kept.
TEST_F(ShippedState, DivergentScatterUsesThePointFocusSetsAndRefusesBelowThem) {
    veltrim::ConditionTexts texts;
    texts.Fsd = "80";
    ASSERT_EQ(veltrim::RunCalculation(state, texts, {}), CalculationResult::Completed);
    const veltrim::DepthDoseTable classic = state.DepthDoseResult;

    state.Model = veltrim::ScatterModel::Divergent;
    ASSERT_EQ(veltrim::RunCalculation(state, texts, {}), CalculationResult::Completed)
        << state.DepthDoseFailureCause;
    const veltrim::DepthDoseTable divergent = state.DepthDoseResult;
    EXPECT_GT(divergent[41][TotalPdd], classic[41][TotalPdd] * 1.03); // 20.25 cm
    const std::string line = veltrim::EncodeShiftJis("散乱モデル, 発散ビーム\r\n");
    const std::string bytes = veltrim::ResultsFileBytes(state);
    EXPECT_EQ(bytes.rfind(line), bytes.size() - line.size());

    // 1/80 = 0.75/75 + 0.25/100.
    const auto near = veltrim::ReadKernelSet(state.DataFolder, veltrim::FocusSetFolder(75));
    const auto far = veltrim::ReadKernelSet(state.DataFolder, veltrim::FocusSetFolder(100));
    veltrim::KernelSetSource nearSource(*near), farSource(*far);
    veltrim::InterpolatedKernelSource mixed(nearSource, farSource, 0.75);
    veltrim::IrradiationConditions typed = state.Conditions;
    typed.FieldX = typed.FieldY = 30;
    const auto direct = std::make_unique<veltrim::DepthDoseCalculation>(veltrim::CalculateDepthDose(
        state.Spectrum, state.Tissue, mixed, typed, state.MaxDepth, state.Pi));
    for (int d = 1; d <= 60; ++d)
        EXPECT_EQ(direct->Table[d][TotalPdd], divergent[d][TotalPdd]) << "row " << d;

    const std::string file = veltrim::testing::ReadBytes(work / "PDD_tempDATA.txt");
    texts.Fsd = "40";
    EXPECT_EQ(veltrim::RunCalculation(state, texts, {}), CalculationResult::DepthDoseFailed);
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_NE(sink.Messages[0].find("begin at an FSD of 50 cm and the FSD is 40 cm"),
              std::string::npos)
        << sink.Messages[0];
    // The divergent model is the program's own: its failure opens with a line
    // of the edition's language, not the window's fixed Japanese one.
    EXPECT_TRUE(sink.Messages[0].starts_with("The depth dose could not be computed.\n"))
        << sink.Messages[0];
    EXPECT_EQ(veltrim::testing::ReadBytes(work / "PDD_tempDATA.txt"), file);

    // Beyond the largest set the kernels lead towards the parallel beam's.
    texts.Fsd = "1000";
    EXPECT_EQ(veltrim::RunCalculation(state, texts, {}), CalculationResult::Completed)
        << state.DepthDoseFailureCause;
}

} // namespace
