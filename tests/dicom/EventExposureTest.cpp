// The rules that turn recorded events into exposures of a study, each on a
// record built here, and the study document they are written into.
#include "common/RefusalHelpers.h"
#include "core/JsonReading.h"
#include "dicom/RecordBuilder.h"
#include "dicom/StudyJson.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace veltrim {
namespace {

using testing::ReportBuilder;
using testing::TempFolder;

const RecordPatient Patient{22.0, 34.0};

// The record built, saved and read back.
DoseRecord Read(ReportBuilder& b) {
    const TempFolder folder;
    return ReadDoseRecord(b.Save(folder, "r.dcm"));
}

std::vector<EventExposure> Exposures(ReportBuilder& b) {
    return EventExposures(Read(b), Patient);
}

// The assumption made for `field`, or none.
const Assumption* AssumedFor(const EventExposure& x, const std::string& field) {
    for (const Assumption& a : x.Assumed)
        if (a.Field == field)
            return &a;
    return nullptr;
}

// An event with a complete beam and the given extras.
ReportBuilder& Beam(ReportBuilder& b, const char* type = "Fluoroscopy") {
    return b.Event(type).Kvp("80").Filter("C-127F9", "Copper or Copper compound", "0.1", "0.1");
}

TEST(EventExposure, TurnsEachReferencePointDefinitionIntoADistanceFromTheFocus) {
    ReportBuilder b;
    const auto rp = [&b](const char* definition) -> ReportBuilder& {
        return Beam(b)
            .Text("113780", "Reference Point Definition", definition)
            .Num("113738", "Dose (RP)", "0.002", "Gy")
            .Kap("1e-4")
            .ToIsocentre("785")
            .ToDetector("1200");
    };
    rp("15cm from Isocenter toward Source").Close();
    rp("15cm below BeamIsocenter").Close();
    rp("30cm in Front of Image Input Surface").Close();
    rp("In Detector Plane").Close();
    rp("530 mm from tube focus towards detector").Close();
    rp("Unknown").Num("113737", "Distance Source to Reference Point", "700", "mm").Close();
    rp("Unknown").Close();
    const auto x = Exposures(b);
    const double expected[] = {63.5, 63.5, 90.0, 120.0, 53.0, 70.0};
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(x[i].ReferenceDistanceCm) << i;
        EXPECT_DOUBLE_EQ(*x[i].ReferenceDistanceCm, expected[i]) << i;
        EXPECT_DOUBLE_EQ(*x[i].ReferenceAirKermaMgy, 2.0);
        EXPECT_FALSE(x[i].KapGycm2); // one form of the exposure only
    }
    // No distance for the reference point: the kerma-area product instead.
    EXPECT_FALSE(x[6].ReferenceAirKermaMgy);
    EXPECT_DOUBLE_EQ(*x[6].KapGycm2, 1.0);
}

TEST(EventExposure, PlacesTheEntryByThePositionerAngleAndTheTableByThePatientsPosture) {
    ReportBuilder b;
    const auto angled = [&b](const char* angle, const char* posture) -> ReportBuilder& {
        Beam(b).Kap("1e-4").Angle(angle);
        if (posture)
            b.Code("113743", "Patient Orientation", {"F-10450", "SRT", "recumbent"})
                .Modifier("113744", "Patient Orientation Modifier", {"X", "SRT", posture});
        return b.Close();
    };
    angled("0", nullptr);     // under-table PA, supine taken
    angled("30", "supine");   // LAO 30: still from behind, oblique
    angled("90", "supine");   // LAO 90: focus on the patient's right
    angled("-90", "supine");  // RAO 90: on the left
    angled("-170", "supine"); // over the table
    angled("180", "prone");   // from above, on a prone patient's back
    angled("0", "prone");     // from below, through the table into the front
    const auto x = Exposures(b);
    const EntrySide sides[] = {EntrySide::Posterior, EntrySide::Posterior, EntrySide::Right,
                               EntrySide::Left,      EntrySide::Anterior,  EntrySide::Anterior,
                               EntrySide::Posterior};
    const double angles[] = {0, 30, 0, 0, 10, 0, 0};
    const bool table[] = {true, true, false, false, false, true, false};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(x[i].Entry, sides[i]) << i;
        EXPECT_DOUBLE_EQ(x[i].AngleDeg, angles[i]) << i;
        EXPECT_EQ(x[i].TableTransmission.has_value(), table[i]) << i;
        EXPECT_EQ(AssumedFor(x[i], "table_transmission") != nullptr, table[i]) << i;
    }
    EXPECT_DOUBLE_EQ(*x[0].TableTransmission, AssumedTableTransmission);
    EXPECT_NE(AssumedFor(x[0], "table_transmission")->Why.find("supine"), std::string::npos);
}

TEST(EventExposure, TakesTheFocusSkinDistanceFromTheDistancesRecorded) {
    ReportBuilder b;
    Beam(b).Kap("1e-4").ToIsocentre("785").Close();
    Beam(b, "Stationary Acquisition").Kap("1e-4").ToDetector("1100").Close();
    Beam(b).Kap("1e-4").ToDetector("11.5").Close(); // a unit slip
    // 30 deg off the right side.
    Beam(b, "Stationary Acquisition").Kap("1e-4").Angle("60").ToIsocentre("1000").Close();
    const auto x = Exposures(b);
    EXPECT_DOUBLE_EQ(x[0].FsdCm, 78.5 - 11.0); // isocentre at the patient's centre
    EXPECT_DOUBLE_EQ(x[1].FsdCm, 110.0 - 22.0 - 5.0);
    EXPECT_DOUBLE_EQ(x[2].FsdCm, 50.0);
    EXPECT_TRUE(std::any_of(x[2].Assumed.begin(), x[2].Assumed.end(), [](const Assumption& a) {
        return a.Why.find("1.15 cm is not a distance") != std::string::npos;
    }));
    EXPECT_DOUBLE_EQ(x[3].FsdCm, 100.0 - 17.0 / std::cos(M_PI / 6.0));
    for (const EventExposure& e : x)
        EXPECT_TRUE(AssumedFor(e, "fsd_cm"));
}

TEST(EventExposure, TakesTheFieldAtTheSkinFromTheCollimatorOrFromKapOverKerma) {
    ReportBuilder b;
    const auto geometry = [&b]() -> ReportBuilder& {
        return Beam(b).ToIsocentre("785").ToDetector("1200").Kap("1e-3");
    };
    geometry()
        .Num("113789", "Collimated Field Width", "200", "mm")
        .Num("113788", "Collimated Field Height", "300", "mm")
        .Close();
    geometry().Num("113790", "Collimated Field Area", "0.04", "m2").Close();
    geometry()
        .Code("113780", "Reference Point Definition",
              {"113860", "DCM", "15cm from Isocenter toward Source"})
        .Num("113738", "Dose (RP)", "0.1", "Gy")
        .Close();
    geometry().Close();
    const auto x = Exposures(b);
    const double toSkin = 67.5 / 120.0;
    EXPECT_DOUBLE_EQ(x[0].FieldXCm, 20.0 * toSkin);
    EXPECT_DOUBLE_EQ(x[0].FieldYCm, 30.0 * toSkin);
    EXPECT_FALSE(AssumedFor(x[0], "field_x_cm"));
    EXPECT_DOUBLE_EQ(x[1].FieldXCm, 20.0 * toSkin);
    EXPECT_TRUE(AssumedFor(x[1], "field_x_cm")); // square: only the area is known
    // 10 Gy cm2 over 100 mGy is 100 cm2 at 63.5 cm from the focus.
    EXPECT_DOUBLE_EQ(x[2].FieldYCm, 10.0 * 67.5 / 63.5);
    EXPECT_DOUBLE_EQ(x[3].FieldXCm, 20.0);
    EXPECT_TRUE(AssumedFor(x[3], "field_x_cm"));
}

TEST(EventExposure, FlagsAMissingOrAbsurdVoltageAndMissingFilters) {
    ReportBuilder b;
    b.Event().Kap("1e-4").Close();
    b.Event().Kap("1e-4").Kvp("500").Close();
    b.Event().Kap("1e-4").Num("111634", "Half Value Layer", "2.8", "mm").Close();
    const auto x = Exposures(b);
    for (const EventExposure& e : x) {
        EXPECT_DOUBLE_EQ(e.Kv, AssumedKv);
        ASSERT_TRUE(AssumedFor(e, "kv"));
    }
    EXPECT_NE(AssumedFor(x[1], "kv")->Why.find("500 kV"), std::string::npos);
    EXPECT_DOUBLE_EQ(*x[0].AlMm, 0.0);
    EXPECT_TRUE(AssumedFor(x[0], "al_mm"));
    EXPECT_DOUBLE_EQ(*x[2].Hvl1MmAl, 2.8); // the measured HVL stands for the filters
    EXPECT_FALSE(x[2].AlMm);
    EXPECT_FALSE(AssumedFor(x[2], "al_mm"));
}

TEST(EventExposure, RefusesANegativeKapAndAnEventWithoutExposureNamingEachEvent) {
    ReportBuilder b;
    Beam(b).Kap("1e-4").Close();
    Beam(b).Kap("-1e-4").Close();
    Beam(b).Close();
    const std::string message = testing::RefusalOf<DoseRecordError>([&] { Exposures(b); });
    EXPECT_NE(message.find("event 2, kerma-area product: -1 Gy cm2 is negative"), std::string::npos)
        << message;
    EXPECT_NE(message.find("event 3: neither"), std::string::npos) << message;
    EXPECT_EQ(message.find("event 1"), std::string::npos);

    // A long run's refusal crosses the reader's module whole, every event on
    // its line.
    ReportBuilder run;
    for (int k = 0; k < 300; ++k)
        Beam(run).Close();
    const auto refused = testing::ThrownBy<DoseRecordError>([&] { Exposures(run); });
    ASSERT_TRUE(refused);
    const std::optional<Message> back = DecodedMessage(EncodedMessage(refused->Problem()));
    ASSERT_TRUE(back);
    const std::string text = refused->what();
    EXPECT_EQ(back->In(Language::English), text);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 300);
    EXPECT_NE(text.find("\n  event 300: neither"), std::string::npos);
}

TEST(EventExposure, AHeadersViewDistanceAndAreaDoseProductMakeOneExposure) {
    TempFolder folder;
    const auto path = testing::SaveHeader(folder, "lat.dcm",
                                          {{DCM_Modality, "DX"},
                                           {DCM_KVP, "90"},
                                           {DCM_ImageAndFluoroscopyAreaDoseProduct, "20"},
                                           {DCM_ViewPosition, "LL"},
                                           {DCM_DistanceSourceToDetector, "1150"}});
    const auto x = EventExposures(ReadDoseRecord(path), Patient);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0].Entry, EntrySide::Right); // left side against the detector
    EXPECT_DOUBLE_EQ(x[0].FsdCm, 115.0 - 34.0 - 5.0);
    EXPECT_DOUBLE_EQ(*x[0].KapGycm2, 2.0);
    EXPECT_FALSE(x[0].TableTransmission);
    EXPECT_FALSE(AssumedFor(x[0], "entry"));
}

TEST(StudyJson, WritesEveryExposureWithItsAssumptionsAndTheRecordsFigures) {
    ReportBuilder b;
    b.Accumulated("2.6e-005", "Gym2");
    Beam(b).Kap("1.6e-005", "Gym2").Close();
    b.Event().Kap("1e-005", "Gym2").Close();
    const DoseRecord record = Read(b);
    const auto exposures = EventExposures(record, Patient);
    const JsonValue study =
        ParseJson(StudyJson(record, exposures, Patient, {{"conceptus", 8.0, 0.0, 1.5}}));
    EXPECT_EQ(study.Find("veltrim_study")->Number, 1.0);
    EXPECT_EQ(study.Find("patient")->Find("lateral_width_cm")->Number, 34.0);
    EXPECT_EQ(study.Find("points")->Items[0].Find("head_cm")->Number, 1.5);
    const auto& list = study.Find("exposures")->Items;
    ASSERT_EQ(list.size(), 2u);
    // Every digit of the recorded value survives the text.
    EXPECT_EQ(list[0].Find("kap_Gycm2")->Number, *record.Events[0].KapGycm2);
    EXPECT_EQ(list[0].Find("entry")->String, "posterior");
    EXPECT_EQ(list[0].Find("event")->Find("number")->Number, 1.0);
    EXPECT_EQ(list[1].Find("kv")->Number, AssumedKv);
    const auto& assumed = list[1].Find("assumed")->Items;
    ASSERT_EQ(assumed.size(), exposures[1].Assumed.size());
    EXPECT_EQ(assumed[0].Find("field")->String, "kv");
    EXPECT_FALSE(assumed[0].Find("why")->String.empty());
    const JsonValue& source = *study.Find("record");
    EXPECT_EQ(source.Find("kind")->String, "fluoroscopy");
    EXPECT_EQ(source.Find("events")->Number, 2.0);
    EXPECT_EQ(source.Find("accumulated_kap_Gycm2")->Number, *record.AccumulatedKapGycm2);
    EXPECT_EQ(study.Find("study")->Find("exam_date")->String, "2026-01-02");
    EXPECT_NEAR(*EventsKapGycm2(record), 0.26, 1e-15);
}

} // namespace
} // namespace veltrim
