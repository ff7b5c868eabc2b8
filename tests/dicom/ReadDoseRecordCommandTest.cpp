// veltrim-calc --read-dose-record: the record's figures printed, the study
// saved through the program's writer, and nothing written when it fails.
#include "common/ProgramRun.h"
#include "core/JsonReading.h"
#include "dicom/RecordBuilder.h"

#include <gtest/gtest.h>

namespace veltrim {
namespace {

using testing::TempFolder;

std::string Calc(const std::string& arguments) {
    return std::string("'") + VELTRIM_CALC + "' --read-dose-record " + arguments;
}

TEST(ReadDoseRecordCommand, PrintsTheRecordsFiguresAndSavesTheStudy) {
    TempFolder folder;
    testing::ReportBuilder b;
    b.Accumulated("3e-005", "Gy.m2");
    b.Event().Num("122130", "Dose Area Product", "1e-005", "Gy.m2").Close();
    b.Event().Num("122130", "Dose Area Product", "2e-005", "Gy.m2").Close();
    const auto record = b.Save(folder, "rf.dcm");
    const auto study = folder / "study.json";
    const auto run = testing::RunCaptured(Calc("'" + record.string() +
                                               "' --ap-thickness 22 --lateral-width 34 --interest "
                                               "conceptus,8,1,2 --save-study '" +
                                               study.string() + "'"),
                                          folder);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("# events=2\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("# skipped=none\n"), std::string::npos);
    EXPECT_NE(run.out.find("# record_kap_Gycm2=0.3\n"), std::string::npos);
    EXPECT_NE(run.out.find("# events_kap_Gycm2=0.3\n"), std::string::npos);
    const JsonValue saved = ParseJson(testing::ReadBytes(study));
    EXPECT_EQ(saved.Find("exposures")->Items.size(), 2u);
    EXPECT_EQ(saved.Find("points")->Items[0].Find("left_cm")->Number, 1.0);
}

TEST(ReadDoseRecordCommand, RefusesWithoutThePatientAndLeavesTheStudyAloneOnARefusal) {
    TempFolder folder;
    const auto study = folder.Write("study.json", "kept");
    const auto json = folder.Write("not.dcm", "{}");
    const auto refused = testing::RunCaptured(
        Calc("'" + json.string() + "' --ap-thickness 22 --lateral-width 34 --save-study '" +
             study.string() + "'"),
        folder);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("not a DICOM file"), std::string::npos) << refused.err;
    EXPECT_EQ(testing::ReadBytes(study), "kept");
    const auto noPatient = testing::RunCaptured(Calc("'" + json.string() + "'"), folder);
    EXPECT_EQ(noPatient.status, 2);
    EXPECT_NE(noPatient.err.find("--ap-thickness"), std::string::npos);
}

} // namespace
} // namespace veltrim
