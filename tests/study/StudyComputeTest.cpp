#include "common/RefusalHelpers.h"
#include "common/ShippedData.h"
#include "engine/BeamPoints.h"
#include "engine/ComputeStudy.h"
#include "files/StudyFile.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using namespace veltrim;

const ModelData& Data() {
    static const std::shared_ptr<const ModelData> data =
        ModelData::Load(veltrim::testing::ShippedData);
    return *data;
}

// An 80 kV beam of a 22 x 34 cm patient, every beam figure given, turned
// by `angleDeg` from its entry's direction.
StudyExposure Beam(const char* name, BeamEntry entry, double angleDeg = 0.0) {
    StudyExposure e;
    e.Name = name;
    e.Entry = entry;
    e.AngleDeg = angleDeg;
    e.TubeVoltage = 80;
    e.Rectification = RectificationMethod::ThreePhase12Peak;
    e.AlMm = 1.0;
    e.TargetAngleDeg = 12;
    e.InherentAlMm = 2.5;
    e.Model = ScatterModel::Divergent;
    e.FsdCm = 100;
    e.FieldXCm = 35;
    e.FieldYCm = 43;
    e.Form.Parts.AirKermaMgy = 1.25;
    e.UncertaintyPct = 0.0;
    return e;
}

// The patient, a point in it, and these exposures.
Study Patient(std::vector<StudyExposure> exposures = {}) {
    Study study;
    study.Patient = {22.0, 34.0, Medium::IcruFourComponent};
    study.Points.push_back({"conceptus", 8.0, 3.0, 2.0});
    study.Exposures = std::move(exposures);
    return study;
}

// The dose at a point as --point gives it with --air-kerma 1.25 in a phantom
// `thickness` thick.
double PointMgyOf(const PhantomPoint& at, double thickness) {
    IrradiationConditions conditions;
    ConditionTexts texts;
    texts.AlFilter = "1";
    texts.FieldX = "35";
    texts.FieldY = "43";
    ReadConditions(texts, conditions);
    conditions.Rectification = RectificationMethod::ThreePhase12Peak;
    CalculationOptions options;
    options.Model = ScatterModel::Divergent;
    options.Given = Exposure{ExposureKind::IncidentAirKerma, 1.25};
    options.ThicknessCm = thickness;
    options.Points = {at};
    const BeamResult beam = CalculateBeam(conditions, options, Data());
    return *PointMgy(beam, beam.Points[0].Primary + beam.Points[0].Scatter);
}

TEST(StudyCompute, EachEntryIsThePointDoseInThePhantomAsThickAsThePatientAlongTheBeam) {
    ASSERT_TRUE(veltrim::testing::KernelsShipped());
    Study study = Patient();
    study.Exposures.push_back(Beam("AP", BeamEntry::Anterior));
    study.Exposures.push_back(Beam("PA", BeamEntry::Posterior));
    study.Exposures.back().TableTransmission = 0.8;
    study.Exposures.push_back(Beam("LAT", BeamEntry::Left));
    study.Exposures.push_back(Beam("RLAT", BeamEntry::Right));
    const StudyResult result = ComputeStudy(study, Data());
    ASSERT_EQ(result.Doses.size(), 4u);
    const auto expectSame = [](double computed, double point, const char* what) {
        EXPECT_NEAR(computed, point, 1e-12 * point) << what;
    };
    expectSame(result.Doses[0].Mgy.Dose, PointMgyOf({3.0, 2.0, 8.0}, 22.0), "anterior");
    expectSame(result.Doses[1].Mgy.Dose, PointMgyOf({3.0, 2.0, 14.0}, 22.0) * 0.8,
               "posterior, through the table");
    expectSame(result.Doses[2].Mgy.Dose, PointMgyOf({-3.0, 2.0, 14.0}, 34.0), "from the left");
    expectSame(result.Doses[3].Mgy.Dose, PointMgyOf({-3.0, 2.0, 20.0}, 34.0), "from the right");
    EXPECT_DOUBLE_EQ(result.Doses[1].DepthCm, 14.0);
    EXPECT_DOUBLE_EQ(result.Doses[2].OffAxisCm, std::hypot(3.0, 2.0));
}

TEST(StudyCompute, AnAnteriorBeamTurnedAQuarterTowardTheLeftIsTheBeamFromTheLeft) {
    const StudyResult result = ComputeStudy(
        Patient({Beam("turned", BeamEntry::Anterior, 90), Beam("LAT", BeamEntry::Left)}), Data());
    EXPECT_NEAR(result.Doses[0].DepthCm, 14.0, 1e-12);
    EXPECT_NEAR(result.Exposures[0].ThicknessCm, 34.0, 1e-12);
    EXPECT_NEAR(result.Doses[0].Mgy.Dose, result.Doses[1].Mgy.Dose,
                1e-9 * result.Doses[1].Mgy.Dose);
}

// A C-arm's record gives 0.1 degrees for a square beam: its chord lies
// between the slab's 0.5-cm layers, which alone could not be computed.
TEST(StudyCompute, AChordBetweenLayersIsComputedInTheNearestLayerAndNamed) {
    const StudyResult result = ComputeStudy(
        Patient({Beam("tilted", BeamEntry::Anterior, 0.1), Beam("AP", BeamEntry::Anterior)}),
        Data());
    EXPECT_NEAR(result.Doses[0].Mgy.Dose, result.Doses[1].Mgy.Dose,
                1e-3 * result.Doses[1].Mgy.Dose);
    const std::vector<AssumedValue>& assumed = result.Exposures[0].Assumed;
    EXPECT_TRUE(std::any_of(assumed.begin(), assumed.end(), [](const AssumedValue& a) {
        return a.Field == "slab_thickness_cm" && a.Value == "22";
    }));
    // The layer is named, not counted as a default beam figure.
    const auto width = [&result](std::size_t k) {
        return result.Doses[k].Mgy.High / result.Doses[k].Mgy.Dose;
    };
    EXPECT_NEAR(width(0), width(1), 1e-12);
}

TEST(StudyCompute, RepeatsAndIdenticalExposuresAddExactlyAndAreComputedOnce) {
    Study study = Patient();
    for (int k = 0; k < 3; ++k)
        study.Exposures.push_back(Beam("pulse", BeamEntry::Anterior));
    study.Exposures.push_back(Beam("run", BeamEntry::Anterior));
    study.Exposures.back().Repeats = 3;
    const StudyResult result = ComputeStudy(study, Data());
    EXPECT_EQ(result.BeamsComputed, 1u);
    const double one = result.Doses[0].Mgy.Dose;
    EXPECT_EQ(one + one + one, result.Doses[3].Mgy.Dose);
    EXPECT_EQ(result.Totals[0].Dose, (one + one + one) + result.Doses[3].Mgy.Dose);

    // Computed once, but each through its own table.
    Study table = Patient();
    for (const double t : {0.8, 0.5}) {
        table.Exposures.push_back(Beam("PA", BeamEntry::Posterior));
        table.Exposures.back().TableTransmission = t;
    }
    const StudyResult through = ComputeStudy(table, Data());
    EXPECT_EQ(through.BeamsComputed, 1u);
    EXPECT_NEAR(through.Doses[1].Mgy.Dose / through.Doses[0].Mgy.Dose, 0.5 / 0.8, 1e-15);
}

TEST(StudyCompute, WithoutInputUncertaintyTheRangeIsTheModelsOwnAndWidensWithThePlace) {
    Study study = Patient({Beam("AP", BeamEntry::Anterior)});
    const DoseRange exact = ComputeStudy(study, Data()).Doses[0].Mgy;
    EXPECT_DOUBLE_EQ(
        exact.Low,
        exact.Dose * (1 - ModelAccuracyPct(ScatterModel::Divergent, ModelRegion::InField) / 100));
    EXPECT_DOUBLE_EQ(exact.High, exact.Dose * 1.02);

    study.Points[0].DepthUncertaintyCm = 2.0;
    study.Exposures[0].UncertaintyPct.reset(); // the measured air kerma's default
    const StudyResult result = ComputeStudy(study, Data());
    const DoseRange wide = result.Doses[0].Mgy;
    EXPECT_EQ(wide.Dose, exact.Dose);
    EXPECT_LT(wide.Low, exact.Low);
    EXPECT_GT(wide.High, exact.High);
    // The dose falls near exponentially with depth: 2 cm shallower gains
    // more than 2 cm deeper loses, and each side keeps its own.
    EXPECT_GT(wide.High - wide.Dose, wide.Dose - wide.Low);
    ASSERT_FALSE(result.Exposures[0].Assumed.empty());
    EXPECT_EQ(result.Exposures[0].Assumed.back().Field, "exposure_uncertainty_pct");
}

TEST(StudyCompute, RangeKeepsTheDoseInsideAndNeverGoesBelowZero) {
    const double across[] = {0.5, 3.0};
    const DoseRange r = RangeOf(1.0, {90.0, 25.0, 10.0, across});
    EXPECT_EQ(r.Low, 0.0);
    EXPECT_GT(r.High, 3.0);
    const DoseRange none = RangeOf(0.0, {10.0, 2.0, 0.0, {}});
    EXPECT_EQ(none.Low, 0.0);
    EXPECT_EQ(none.High, 0.0);
}

TEST(StudyCompute, TheTablesAluminiumAttenuatesAndHardensTheBeam) {
    Study study = Patient();
    study.Exposures.push_back(Beam("PA", BeamEntry::Posterior));
    study.Exposures.push_back(Beam("PA table", BeamEntry::Posterior));
    study.Exposures.back().TableAlMm = 1.0;
    const StudyResult result = ComputeStudy(study, Data());
    const double t = result.Exposures[1].Transmission;
    EXPECT_GT(t, 0.5);
    EXPECT_LT(t, 0.95);
    // A harder beam loses less with depth than the bare transmission says.
    EXPECT_GT(result.Doses[1].Mgy.Dose, t * result.Doses[0].Mgy.Dose);
    EXPECT_EQ(result.BeamsComputed, 2u);
}

TEST(StudyCompute, PointsBeyondTheKernelsReachAreRefusedNamingExposureAndPoint) {
    Study study;
    study.Patient = {22.0, 250.0, Medium::IcruFourComponent};
    study.Points.push_back({"far", 8.0, 110.0, 0.0});
    study.Exposures.push_back(Beam("AP", BeamEntry::Anterior));
    study.Exposures[0].FieldXCm = 10;
    study.Exposures[0].FieldYCm = 10;
    const std::string why =
        veltrim::testing::RefusalOf<StudyError>([&] { ComputeStudy(study, Data()); });
    EXPECT_NE(why.find("exposure \"AP\", point \"far\""), std::string::npos) << why;
}

} // namespace
