#include "files/StudyFile.h"

#include "common/RefusalHelpers.h"
#include "common/TempFolder.h"
#include "report/StudyReport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;

// The smallest study file, as the dose-record reader or a user writes it.
const std::string Minimum =
    R"({"veltrim_study": 1, "patient": {"ap_thickness_cm": 22, "lateral_width_cm": 34,
    "medium": "icru-4"}, "points": [{"name": "conceptus", "depth_cm": 8,
    "depth_uncertainty_cm": 2, "left_cm": 0, "head_cm": 0}], "exposures": [{"name": "AP",
    "entry": "anterior", "kv": 80, "rectification": 2, "al_mm": 1, "fsd_cm": 100,
    "field_x_cm": 35, "field_y_cm": 43, "centre_left_cm": 0, "centre_head_cm": 0,
    "air_kerma_mGy": 1.25, "repeats": 1}]})";

// The minimum with `from` replaced by `to` once.
std::string Edited(const std::string& from, const std::string& to) {
    std::string text = Minimum;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(StudyFile, SavedAndOpenedHoldsTheSameBitsAndCarriesTheRecordThrough) {
    Study study =
        ParseStudy(Edited(R"("repeats": 1}]})",
                          R"("repeats": 4, "table_al_mm": 0.30000000000000004, "angle_deg": 1e-7,
               "assumed": [{"field": "kv", "value": 80, "why": "no kVp in the record"}],
               "event": {"number": 3, "uid": "1.2.3", "flags": [true, null]}}],
               "record": {"events": 1, "kind": "fluoroscopy", "skipped": []}, "study": {"exam": "x"}})"),
                   "s.json");
    ASSERT_EQ(study.Exposures.size(), 1u);
    const StudyExposure& e = study.Exposures[0];
    EXPECT_EQ(e.Repeats, 4);
    EXPECT_EQ(*e.TableAlMm, 0.30000000000000004);
    ASSERT_EQ(e.Assumed.size(), 2u) << "the record's default and the scatter model's";
    EXPECT_EQ(e.Assumed[0].Value, "80");
    ASSERT_TRUE(study.Record);

    const std::string bytes = StudyFileBytes(study);
    const Study again = ParseStudy(bytes, "again.json");
    EXPECT_EQ(StudyFileBytes(again), bytes);
    EXPECT_EQ(*again.Exposures[0].TableAlMm, *e.TableAlMm);
    EXPECT_EQ(again.Exposures[0].AngleDeg, 1e-7);
    EXPECT_EQ(again.Exposures[0].Assumed, e.Assumed);
    EXPECT_EQ(JsonText(*again.Exposures[0].Event),
              R"({"number": 3, "uid": "1.2.3", "flags": [true, null]})");
    EXPECT_EQ(JsonText(*again.Identifiers), R"({"exam": "x"})");
}

TEST(StudyFile, BadInputIsRefusedNamingTheExposureOrPointAndTheField) {
    // An edit of the minimum (from, to; "1}]" is the repeats' end of the
    // exposure), or a whole text (from empty), and what its refusal names.
    const std::string cut = Minimum.substr(0, Minimum.find(R"("exposures")"));
    const std::string cases[][3] = {
        {R"("depth_cm": 8)", R"("depth_cm": 23)", R"(point "conceptus": depth_cm 23)"},
        {R"("centre_left_cm": 0)", R"("centre_left_cm": 40)",
         R"(exposure "AP": its central ray misses the patient)"},
        {R"("centre_left_cm": 0, )", "", R"(exposure "AP": "centre_left_cm" is missing)"},
        {"1.25", R"(1.25, "kap_Gycm2": 2)",
         R"(exposure "AP": kap_Gycm2 contradicts air_kerma_mGy)"},
        {"1}]", R"(1, "table_transmission": 1.5}])",
         R"(exposure "AP": table_transmission 1.5 lies outside (0, 1])"},
        {"1}]", R"(1, "table_transmission": 0}])", "table_transmission 0 lies outside"},
        {"1}]", R"(1, "colour": "red"}])", R"(exposure "AP": "colour" is not a key)"},
        {R"("icru-4")", R"("icru-4", "age": 30)", R"(patient: "age" is not a key)"},
        {R"("kv": 80)", R"("kv": "80")", R"(exposure "AP": "kv" must be a number)"},
        {R"("veltrim_study": 1)", R"("veltrim_study": 2)", "a later version"},
        {"", Minimum.substr(0, Minimum.size() - 2), "not a study file"},
        {"", R"({"format": 1, "name": "beam"})", "not a study file"},
        {"", "[1, 2]", "not a study file"},
        {"", cut + R"("exposures": []})", "the study has no exposure"},
    };
    for (const auto& [from, to, named] : cases) {
        const std::string text = from.empty() ? to : Edited(from, to);
        const auto e = veltrim::testing::ThrownBy<StudyError>([&] { ParseStudy(text, "s.json"); });
        ASSERT_TRUE(e) << text;
        EXPECT_NE(std::string(e->what()).find(named), std::string::npos)
            << e->what() << "\nnot " << named;
        // Each has its wording in both editions, not English passed through.
        EXPECT_NE(e->Problem().Id(), MessageId::StudyRefused) << e->what();
    }
}

// The command line's points and patient stand in for the file's before the
// study is judged: a file may leave its points to them, and a point deeper
// than the file's patient is taken inside the patient given instead.
TEST(StudyFile, AnAmendmentIsJudgedInsteadOfWhatItReplaces) {
    const std::string noPoints = Edited(R"("points": [{"name": "conceptus", "depth_cm": 8,
    "depth_uncertainty_cm": 2, "left_cm": 0, "head_cm": 0}])",
                                        R"("points": [])");
    EXPECT_THROW(ParseStudy(noPoints, "s.json"), StudyError);
    const Study given = ParseStudy(noPoints, "s.json", [](Study& s) {
        s.Points = {{"uterus", 9.5}};
    });
    ASSERT_EQ(given.Points.size(), 1u);
    EXPECT_EQ(given.Points[0].Name, "uterus");

    const std::string deep = Edited(R"("depth_cm": 8)", R"("depth_cm": 25)");
    EXPECT_THROW(ParseStudy(deep, "s.json"), StudyError);
    EXPECT_EQ(ParseStudy(deep, "s.json", [](Study& s) { s.Patient.ApThicknessCm = 30.0; })
                  .Patient.ApThicknessCm,
              30.0);
    // What the amendment leaves wrong is still refused.
    EXPECT_THROW(ParseStudy(Minimum, "s.json", [](Study& s) { s.Points.clear(); }), StudyError);
}

// The Japanese edition tells a refusal in its own words; the English
// wording, which veltrim-calc and Python print, stays as it was.
TEST(StudyFile, ARefusalIsToldInTheEditionsLanguage) {
    const std::string cases[][4] = {
        {R"("depth_cm": 8)", R"("depth_cm": 23)",
         R"(point "conceptus": depth_cm 23 lies outside the patient (0 to the AP thickness, 22 cm))",
         "評価点「conceptus」: 深さ 23 cm は患者の外です（0 から AP 厚 22 cm まで）。"},
        // The place and the kind are words of the edition too.
        {R"("kv": 80)", R"("kv": "80")", R"(exposure "AP": "kv" must be a number)",
         R"(照射「AP」: "kv" は数値にしてください。)"},
    };
    for (const auto& [from, to, english, japanese] : cases) {
        const auto e =
            veltrim::testing::ThrownBy<StudyError>([&] { ParseStudy(Edited(from, to), "s.json"); });
        ASSERT_TRUE(e) << to;
        EXPECT_EQ(e->what(), english);
        EXPECT_EQ(e->Problem().In(Language::Japanese), japanese);
    }
}

TEST(StudyFile, ANonRegularFileIsRefusedBeforeAnythingIsRead) {
    const veltrim::testing::TempFolder folder;
    EXPECT_THROW(ReadStudyFile(folder.Path()), StudyError);
    EXPECT_THROW(ReadStudyFile(folder / "none.json"), StudyError);
    EXPECT_EQ(ReadStudyFile(folder.Write("s.json", Minimum)).Points[0].DepthUncertaintyCm, 2.0);
}

// Saved studies for the schema check (tests/study/ValidateStudies.py).
TEST(StudyFile, WritesExamplesForTheSchemaCheck) {
    const std::filesystem::path out = STUDY_EXAMPLES_DIR;
    std::filesystem::create_directories(out);
    const Study minimum = ParseStudy(Minimum, "minimum");
    std::ofstream(out / "minimum.json") << StudyFileBytes(minimum);
    Study full = minimum;
    full.Points[0].LeftUncertaintyCm = 1;
    StudyExposure pa = full.Exposures[0];
    pa.Name = "PA";
    pa.Entry = BeamEntry::Posterior;
    pa.Form = {};
    pa.Form.ReferenceAirKermaMgy = 2.0;
    pa.Form.ReferenceDistanceCm = 90.0;
    pa.TableAlMm = 1.2;
    pa.MeasuredHvl1MmAl = 3.1;
    pa.AlMm.reset();
    full.Exposures.push_back(pa);
    StudyExposure lat = full.Exposures[0];
    lat.Name = "LAT";
    lat.Entry = BeamEntry::Left;
    lat.CentreDepthCm = 10;
    lat.Form = {};
    lat.Form.Parts.TubeOutput = 45;
    lat.Form.Parts.Mas = 20;
    lat.Form.Parts.OutputDistanceCm = 100;
    lat.UncertaintyPct = 7;
    full.Exposures.push_back(lat);
    full.Record = ParseJson(R"({"events": 3, "kind": "projection radiography"})");
    std::ofstream(out / "three.json") << StudyFileBytes(full);
    EXPECT_EQ(StudyFileBytes(ParseStudy(StudyFileBytes(full), "three")), StudyFileBytes(full));
}

} // namespace
