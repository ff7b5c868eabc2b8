// A dose record as a study: the document the reader writes is one the
// study file reader takes whole, its angles turn the beam as the study's
// geometry does, and veltrim-calc --study computes it as it computes the
// study saved from it.
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "core/CFormat.h"
#include "core/Sha256.h"
#include "dicom/RecordBuilder.h"
#include "dicom/StudyJson.h"
#include "engine/ComputeStudy.h"
#include "engine/StudyGeometry.h"
#include "files/StudyFile.h"
#include "report/StudyReport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <numbers>

namespace veltrim {
namespace {

using RecordStudy = testing::RecordTest;

const RecordPatient Patient{22.0, 34.0};

Study StudyOfRecord(const std::filesystem::path& file) {
    const DoseRecord record = ReadDoseRecord(file);
    return ParseStudy(
        StudyJson(record, EventExposures(record, Patient), Patient, {{"conceptus", 8.0}}), "r");
}

// Every key the record's mapping writes (its defaults, the event, the
// record, a measured HVL beside the kV, points without ranges) is one the
// study file takes, and each is carried through.
TEST_F(RecordStudy, TheStudyFileReaderTakesEveryKeyTheRecordWrites) {
    b.Accumulated("2e-005");
    b.Event().Num("111634", "Half Value Layer", "3.5", "mm").Kap("2e-005");
    const auto file = b.Save(folder, "r.dcm");
    const Study study = StudyOfRecord(file);
    ASSERT_EQ(study.Exposures.size(), 1u);
    const StudyExposure& e = study.Exposures[0];
    EXPECT_EQ(e.TubeVoltage, AssumedKv);
    EXPECT_EQ(e.MeasuredHvl1MmAl, 3.5);
    EXPECT_EQ(e.Form.Parts.KapGyCm2, 0.2);
    ASSERT_TRUE(e.Event);
    EXPECT_EQ(e.Event->Find("number")->Number, 1.0);
    const auto assumed = [&e](const char* field) {
        return std::count_if(e.Assumed.begin(), e.Assumed.end(),
                             [field](const AssumedValue& a) { return a.Field == field; });
    };
    for (const char* field : {"kv", "rectification", "table_transmission"})
        EXPECT_EQ(assumed(field), 1) << field;
    ASSERT_TRUE(study.Record);
    EXPECT_EQ(study.Record->Find("file_sha256")->String, Sha256Hex(testing::ReadBytes(file)));
    EXPECT_EQ(study.Points[0].DepthUncertaintyCm, 0.0);
}

// DICOM's positioner primary angle and the study's entry with its turn
// must send the beam the same way: from the focus opposite the detector,
// which stands at the primary angle from anterior toward the patient's
// left, so along (sin a, -cos a) in (left, depth).
TEST_F(RecordStudy, ThePositionerAngleAndTheStudysTurnSendTheBeamTheSameWay) {
    const double angles[] = {0, 30, -30, 60, 120, -100, 170, -150};
    for (const double angle : angles)
        b.Event().Kap("1e-005").Angle(ShortestText(angle)).Close();
    const Study study = StudyOfRecord(b.Save(folder, "r.dcm"));
    ASSERT_EQ(study.Exposures.size(), std::size(angles));
    for (std::size_t i = 0; i < std::size(angles); ++i) {
        const BeamFrame frame = FrameOf(study.Patient, study.Exposures[i]);
        const double a = angles[i] * std::numbers::pi / 180.0;
        EXPECT_NEAR(frame.DirectionX, std::sin(a), 1e-12) << angles[i];
        EXPECT_NEAR(frame.DirectionZ, -std::cos(a), 1e-12) << angles[i];
    }
}

// The report of an imported study names each event as recorded (number,
// time, protocol) beside the defaults taken for it.
TEST_F(RecordStudy, TheReportListsEachEventWithItsDefaults) {
    b.Event()
        .Text("111526", "DateTime Started", "20260102101112", DSRTypes::VT_DateTime)
        .Text("125203", "Acquisition Protocol", "Abdomen")
        .Kap("1e-005");
    const Study study = StudyOfRecord(b.Save(folder, "r.dcm"));
    const auto data = ModelData::Load(testing::ShippedData);
    const ReportContent report = StudyReportOf(study, ComputeStudy(study, *data), {});
    std::map<std::string, std::string> lines;
    for (const ReportSection& section : report.Sections)
        if (section.Title == "Exposure event 1")
            for (const auto& [name, value] : section.Lines)
                lines[name] = value;
    EXPECT_EQ(lines["Recorded event"], "1, 20260102101112, Abdomen, Fluoroscopy");
    EXPECT_TRUE(lines["Assumed kv"].starts_with("80: ")) << lines["Assumed kv"];
    EXPECT_TRUE(lines.contains("Assumed table_transmission"));
}

// veltrim-calc --study on `file`, run in `folder` with `more` options.
testing::ProgramRun Calc(const testing::TempFolder& folder, const std::filesystem::path& file,
                         const std::string& more = "") {
    const std::string command = "'" VELTRIM_CALC "' --study '" + file.string() + "' " + more;
    return testing::RunCaptured(command, folder);
}

// A record's events computed one by one, with its own figures named, give
// the same bits as the study saved from it and read back as a file.
TEST_F(RecordStudy, ARecordComputesAsTheStudySavedFromIt) {
    b.Accumulated("3e-005");
    b.Event().Kap("1e-005").Close();
    b.Event()
        .Kvp("95")
        .Kap("2e-005")
        // Stated by the reference air kerma: the KAP summed is still the event's.
        .Num("113738", "Dose (RP)", "0.002", "Gy")
        .Num("113737", "Distance Source to Reference Point", "700", "mm")
        .Angle("90")
        .Close();
    const auto record = b.Save(folder, "rf.dcm");
    const auto saved = folder / "study.json";
    const auto run = Calc(folder, record,
                          "--ap-thickness 22 --lateral-width 34 --interest conceptus,8 "
                          "--interest ovary,12,5,-3 --precise --save-study '" +
                              saved.string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"# events=2\n", "# skipped=none\n", "# record_kap_Gycm2=0.3\n",
          "# events_kap_Gycm2=0.30000000000000004\n", "\nevent 1,conceptus,posterior,",
          "\nevent 2,ovary,right,", "\ntotal,ovary,"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    // Kept for the check of saved studies against the published schema.
    std::filesystem::create_directories(STUDY_EXAMPLES_DIR);
    std::filesystem::copy_file(saved, std::filesystem::path(STUDY_EXAMPLES_DIR) / "record.json",
                               std::filesystem::copy_options::overwrite_existing);
    const auto again = Calc(folder, saved, "--precise");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, run.out);
}

TEST_F(RecordStudy, ARecordWithoutThePatientOrThatCannotBeReadLeavesTheStudyAlone) {
    const auto study = folder.Write("study.json", "kept");
    b.Event().Kap("-1e-005").Close();
    const auto negative = b.Save(folder, "negative.dcm");
    const auto refused = Calc(folder, negative,
                              "--ap-thickness 22 --lateral-width 34 --interest c,8 --save-study '" +
                                  study.string() + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("event 1"), std::string::npos) << refused.err;
    EXPECT_EQ(testing::ReadBytes(study), "kept");
    const auto noPatient = Calc(folder, negative);
    EXPECT_EQ(noPatient.status, 2);
    EXPECT_NE(noPatient.err.find("--ap-thickness"), std::string::npos) << noPatient.err;
}

} // namespace
} // namespace veltrim
