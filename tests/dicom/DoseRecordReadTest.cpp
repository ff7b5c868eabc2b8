// Reading dose records and image headers: units, means, planes, the
// lenient reading of damaged items, and every refusal.
#include "common/RefusalHelpers.h"
#include "dicom/DoseRecord.h"
#include "dicom/RecordBuilder.h"

#include <dcmtk/dcmdata/dcsequen.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace veltrim {
namespace {

using testing::ReportBuilder;
using DoseRecordRead = testing::RecordTest;

// A fluoroscopy event as a C-arm records it, in the units vendors use.
ReportBuilder& CArmEvent(ReportBuilder& b, const char* plane = "113622") {
    return b.Event("Fluoroscopy", plane)
        .Text("111526", "DateTime Started", "20160512101154", DSRTypes::VT_DateTime)
        .Text("125203", "Acquisition Protocol", "FL - Ang")
        .Code("113780", "Reference Point Definition",
              {"113860", "DCM", "15cm from Isocenter toward Source"})
        .Text("113769", "Irradiation Event UID", "1.2.3.4", DSRTypes::VT_UIDRef)
        .Num("122130", "Dose Area Product", "1.6e-005", "Gym2")
        .Num("113738", "Dose (RP)", "0.00252", "Gy")
        .Num("112011", "Positioner Primary Angle", "25.4", "deg")
        .Num("112012", "Positioner Secondary Angle", "-0.2", "deg")
        .Filter("C-127F9", "Copper or Copper compound", "0.2", "0.4")
        .Filter("C-120F9", "Aluminum or Aluminum compound", "1.0", "1.0")
        .Num("113733", "KVP", "76", "kV")
        .Num("113733", "KVP", "78", "kV")
        .Num("113734", "X-Ray Tube Current", "95.1", "mA")
        .Num("113735", "Exposure Time", "0.1008", "s")
        .Num("113736", "Exposure", "9586", "uA.s")
        .Num("113750", "Distance Source to Detector", "1200", "mm")
        .Num("113748", "Distance Source to Isocenter", "785", "mm")
        .Num("113753", "Table Height Position", "151.8", "mm")
        .Num("113790", "Collimated Field Area", "0.04", "m2")
        .Code("113743", "Patient Orientation", {"F-10450", "SRT", "Recumbent"})
        .Modifier("113744", "Patient Orientation Modifier", {"F-10340", "SRT", "Supine"})
        .Close();
}

TEST_F(DoseRecordRead, TakesEachFieldOfAFluoroscopyEventInVeltrimsUnits) {
    b.Accumulated("3.2e-005", "Gym2");
    CArmEvent(b);
    const DoseRecord record = ReadDoseRecord(b.Save(folder, "rf.dcm"));
    ASSERT_EQ(record.Events.size(), 1u);
    EXPECT_EQ(record.Kind, RecordKind::Fluoroscopy);
    EXPECT_EQ(record.Manufacturer, "Veltrim Test Unit");
    EXPECT_DOUBLE_EQ(*record.AccumulatedKapGycm2, 0.32);
    const IrradiationEvent& e = record.Events[0];
    EXPECT_EQ(e.Number, 1);
    EXPECT_EQ(e.Uid, "1.2.3.4");
    EXPECT_EQ(e.DateTime, "20160512101154");
    EXPECT_EQ(e.Protocol, "FL - Ang");
    EXPECT_EQ(e.ReferencePointDefinition, "15cm from Isocenter toward Source");
    EXPECT_DOUBLE_EQ(*e.Kvp, 77.0); // the mean of the values recorded
    EXPECT_DOUBLE_EQ(*e.CuMm, 0.3); // the mean of minimum and maximum
    EXPECT_DOUBLE_EQ(*e.AlMm, 1.0);
    // Units change the decimal exponent before the text is read: the nearest
    // doubles to the values in the new unit, as a study file will show them.
    EXPECT_EQ(*e.KapGycm2, 0.16);
    EXPECT_EQ(*e.ReferenceAirKermaMgy, 2.52);
    EXPECT_DOUBLE_EQ(*e.Mas, 9.586);
    EXPECT_DOUBLE_EQ(*e.ExposureTimeMs, 100.8);
    EXPECT_DOUBLE_EQ(*e.TubeCurrentMa, 95.1);
    EXPECT_DOUBLE_EQ(*e.PrimaryAngleDeg, 25.4);
    EXPECT_DOUBLE_EQ(*e.SecondaryAngleDeg, -0.2);
    EXPECT_DOUBLE_EQ(*e.SourceToDetectorCm, 120.0);
    EXPECT_DOUBLE_EQ(*e.SourceToIsocentreCm, 78.5);
    EXPECT_EQ(*e.TableHeightCm, 15.18);
    EXPECT_DOUBLE_EQ(*e.CollimatedFieldAreaCm2, 400.0);
    EXPECT_EQ(e.PatientOrientation, "recumbent");
    EXPECT_EQ(e.PatientOrientationModifier, "supine");
    EXPECT_TRUE(record.Skipped.empty());
}

TEST_F(DoseRecordRead, KeepsBothPlanesOfABiplaneRecordAndSumsTheirTotals) {
    b.Accumulated("1e-004", "Gy.m2", "113620").Accumulated("5e-005", "Gy.m2", "113621");
    CArmEvent(b, "113620");
    CArmEvent(b, "113621");
    const DoseRecord record = ReadDoseRecord(b.Save(folder, "biplane.dcm"));
    ASSERT_EQ(record.Events.size(), 2u);
    EXPECT_EQ(record.Events[0].Plane, AcquisitionPlane::A);
    EXPECT_EQ(record.Events[1].Plane, AcquisitionPlane::B);
    EXPECT_EQ(record.Events[1].Number, 2);
    EXPECT_DOUBLE_EQ(*record.AccumulatedKapGycm2, 1.5);
}

TEST_F(DoseRecordRead, NamesAnInvalidItemAndAValueInAnUnknownUnitAndReadsTheRest) {
    b.Event("Stationary Acquisition")
        .Num("113733", "KVP", "81", "kV")
        .Num("122130", "Dose Area Product", "2", "furlong")
        .Text("125203", "Acquisition Protocol", "Abdomen")
        .Close();
    // The protocol item loses its relationship type, as one vendor writes it.
    const auto path = b.Save(folder, "damaged.dcm", [](DcmDataset& dataset) {
        DcmItem* event = nullptr;
        DcmItem* item = nullptr;
        dataset.findAndGetSequenceItem(DCM_ContentSequence, event, 1);
        event->findAndGetSequenceItem(DCM_ContentSequence, item, 4);
        delete item->remove(DCM_RelationshipType);
    });
    const DoseRecord record = ReadDoseRecord(path);
    ASSERT_EQ(record.Events.size(), 1u);
    EXPECT_DOUBLE_EQ(*record.Events[0].Kvp, 81.0);
    EXPECT_FALSE(record.Events[0].KapGycm2);
    EXPECT_TRUE(record.Events[0].Protocol.empty());
    ASSERT_EQ(record.Skipped.size(), 2u);
    EXPECT_EQ(record.Skipped[0], "content item 1.2.5 (Tag not found) skipped");
    EXPECT_NE(record.Skipped[1].find("event 1"), std::string::npos);
    EXPECT_NE(record.Skipped[1].find("furlong"), std::string::npos);
}

// The message of the refusal of a file.
std::string Refusal(const std::filesystem::path& file) {
    return testing::RefusalOf<DoseRecordError>([&] { ReadDoseRecord(file); });
}

TEST_F(DoseRecordRead, RefusesCtAndMammographyNamingWhatTheyAre) {
    ReportBuilder ct({"P5-08000", "SRT", "Computed Tomography X-Ray"});
    EXPECT_NE(Refusal(ct.Save(folder, "ct.dcm")).find("CT record"), std::string::npos);
    ReportBuilder mg({"P5-40010", "SRT", "Mammography"});
    mg.Event("Stationary Acquisition").Num("113733", "KVP", "28", "kV");
    const std::string refusal = Refusal(mg.Save(folder, "mg.dcm"));
    EXPECT_NE(refusal.find("mammography record"), std::string::npos);
    EXPECT_NE(refusal.find("Veltrim computes"), std::string::npos);
    ReportBuilder agd; // a mammography event under a projection procedure
    agd.Event("Stationary Acquisition").Num("111631", "Average Glandular Dose", "1.2", "mGy");
    EXPECT_NE(Refusal(agd.Save(folder, "agd.dcm")).find("mammography"), std::string::npos);
}

TEST_F(DoseRecordRead, RefusesFilesThatAreNotDoseRecordsWithTheReason) {
    EXPECT_NE(Refusal(folder.Write("study.json", "{\"veltrim_study\": 1}")).find("not a DICOM"),
              std::string::npos);
    EXPECT_NE(Refusal(folder / "absent.dcm").find("cannot be opened"), std::string::npos);
    EXPECT_NE(Refusal(folder.Path()).find("not a regular file"), std::string::npos);

    CArmEvent(b);
    const std::string whole = testing::ReadBytes(b.Save(folder, "whole.dcm"));
    const auto truncated = folder.Write("truncated.dcm", whole.substr(0, whole.size() * 2 / 3));
    EXPECT_NE(Refusal(truncated).find("truncated or damaged"), std::string::npos);

    const auto huge = folder.Write("huge.dcm", whole);
    std::filesystem::resize_file(huge, LargestDoseFile + 1); // sparse: no disk used
    EXPECT_NE(Refusal(huge).find("over 100 MB"), std::string::npos);

    ReportBuilder empty;
    EXPECT_NE(Refusal(empty.Save(folder, "empty.dcm")).find("no irradiation event"),
              std::string::npos);
    const auto mr = testing::SaveHeader(folder, "mr.dcm", {{DCM_Modality, "MR"}});
    EXPECT_NE(Refusal(mr).find("neither a dose record nor an X-ray technique"), std::string::npos);
    const auto ct =
        testing::SaveHeader(folder, "ctimage.dcm", {{DCM_Modality, "CT"}, {DCM_KVP, "120"}});
    EXPECT_NE(Refusal(ct).find("CT image"), std::string::npos);
}

TEST_F(DoseRecordRead, AFileCutAnywhereIsRefusedOrReadInPartNeverMore) {
    b.Accumulated("3.2e-005", "Gym2");
    CArmEvent(b);
    CArmEvent(b);
    const std::string whole = testing::ReadBytes(b.Save(folder, "whole.dcm"));
    for (std::size_t cut = 0; cut < whole.size(); cut += 53) {
        const auto part = folder.Write("part.dcm", whole.substr(0, cut));
        try {
            EXPECT_LE(ReadDoseRecord(part).Events.size(), 2u) << cut;
        } catch (const DoseRecordError&) {
        }
    }
}

TEST_F(DoseRecordRead, ARadiographsHeaderGivesOneEventInVeltrimsUnits) {
    const auto path = testing::SaveHeader(folder, "dx.dcm",
                                          {{DCM_Modality, "DX"},
                                           {DCM_KVP, "69.64"},
                                           {DCM_Exposure, "1"},
                                           {DCM_ExposureInuAs, "1040"},
                                           {DCM_ImageAndFluoroscopyAreaDoseProduct, "0.41"},
                                           {DCM_ViewPosition, "AP"},
                                           {DCM_DistanceSourceToDetector, "1150"},
                                           {DCM_FilterMaterial, "COPPER\\ALUMINUM"},
                                           {DCM_FilterThicknessMinimum, "0.1\\1.06"},
                                           {DCM_FilterThicknessMaximum, "0.1\\0.94"},
                                           {DCM_BodyPartThickness, "215"},
                                           {DCM_EntranceDoseInmGy, "1.7"}});
    const DoseRecord record = ReadDoseRecord(path);
    EXPECT_EQ(record.Kind, RecordKind::ImageHeader);
    ASSERT_EQ(record.Events.size(), 1u);
    const IrradiationEvent& e = record.Events[0];
    EXPECT_DOUBLE_EQ(*e.Kvp, 69.64);
    EXPECT_DOUBLE_EQ(*e.Mas, 1.04); // the microampere-seconds, finer than Exposure
    EXPECT_DOUBLE_EQ(*e.KapGycm2, 0.041);
    EXPECT_EQ(e.View, "AP");
    EXPECT_DOUBLE_EQ(*e.SourceToDetectorCm, 115.0);
    EXPECT_DOUBLE_EQ(*e.CuMm, 0.1);
    EXPECT_DOUBLE_EQ(*e.AlMm, 1.0);
    EXPECT_DOUBLE_EQ(*e.BodyPartThicknessCm, 21.5);
    EXPECT_DOUBLE_EQ(*e.EntranceDoseMgy, 1.7);
}

TEST_F(DoseRecordRead, TellsDicomFromOtherFilesByTheMarkerAtByte128) {
    EXPECT_TRUE(IsDicomFile(testing::SaveHeader(folder, "h.dcm", {{DCM_KVP, "80"}})));
    EXPECT_FALSE(IsDicomFile(folder.Write("s.json", std::string(200, ' '))));
    EXPECT_FALSE(IsDicomFile(folder.Write("short.dcm", std::string(130, 'D'))));
    EXPECT_FALSE(IsDicomFile(folder / "absent.dcm"));
    // A named pipe is never opened: that would wait for a writer.
    const auto pipe = folder / "pipe.dcm";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(IsDicomFile(pipe));
    EXPECT_NE(Refusal(pipe).find("not a regular file"), std::string::npos);
}

} // namespace
} // namespace veltrim
