// The dose-record reader through its module, as the front ends reach it:
// what crosses the module's plain C call arrives whole both ways, and a
// module that is missing or of another build is a refusal that says so,
// never a crash or a study made of nothing.
#include "common/RefusalHelpers.h"
#include "dicom/DoseRecordLoader.h"
#include "dicom/RecordBuilder.h"
#include "dicom/StudyJson.h"

#include <gtest/gtest.h>

namespace veltrim {
namespace {

using RecordLoader = testing::RecordTest;

const RecordPatient Patient{21.5, 33.0, "water"};
const std::vector<RecordPoint> Points{{"conceptus", 8.0, -1.5, 2.25}, {"skin", 0.0}};

std::string ThroughModule(const std::filesystem::path& file, const std::string& module) {
    return LoadedRecordStudy(file, Patient, Points, {module});
}

TEST_F(RecordLoader, TheModuleWritesTheStudyTheReaderWritesAndPassesItsRefusalsOn) {
    b.Event().Kvp("70").Kap("2e-005").Close();
    b.Event().Kvp("85").Kap("3e-005").Close();
    const auto file = b.Save(folder, "r.dcm");
    const DoseRecord record = ReadDoseRecord(file);
    EXPECT_EQ(ThroughModule(file, VELTRIM_DICOM_MODULE),
              StudyJson(record, EventExposures(record, Patient), Patient, Points));

    // The reader's own refusal, as the reader words it in either language:
    // not taken for a missing module.
    const auto json = folder.Write("s.json", std::string(300, ' '));
    try {
        ThroughModule(json, VELTRIM_DICOM_MODULE);
        ADD_FAILURE() << "a study file was read as a dose record";
    } catch (const DoseRecordUnavailable& e) {
        ADD_FAILURE() << e.what();
    } catch (const DoseRecordError& e) {
        EXPECT_EQ(e.Problem().Id(), MessageId::RecordNotDicom) << e.what();
        EXPECT_NE(std::string(e.what()).find("not a DICOM file"), std::string::npos) << e.what();
        EXPECT_EQ(e.Problem().In(Language::Japanese),
                  "ファイル「" + json.string() +
                      "」は DICOM ファイルではありません（128 バイト目に \"DICM\" "
                      "がありません）。線量構造化レポートか X 線画像を指定してください。");
    }
}

TEST_F(RecordLoader, AMissingOrForeignModuleIsARefusalThatNamesIt) {
    b.Event().Kvp("70");
    const auto file = b.Save(folder, "r.dcm");

    const std::string missing = testing::RefusalOf<DoseRecordUnavailable>(
        [&] { ThroughModule(file, (folder / "absent/libveltrim-dicom.so").string()); });
    EXPECT_NE(missing.find("libveltrim-dicom.so was not found"), std::string::npos) << missing;

    // Not a shared object at all, then one of another build.
    const auto garbage = folder.Write("libveltrim-dicom.so", "not a library");
    const std::string unloadable =
        testing::RefusalOf<DoseRecordUnavailable>([&] { ThroughModule(file, garbage.string()); });
    EXPECT_NE(unloadable.find(garbage.string()), std::string::npos) << unloadable;

    const std::string foreign = testing::RefusalOf<DoseRecordUnavailable>(
        [&] { ThroughModule(file, VELTRIM_FOREIGN_MODULE); });
    EXPECT_NE(foreign.find("belongs to another build"), std::string::npos) << foreign;
}

} // namespace
} // namespace veltrim
