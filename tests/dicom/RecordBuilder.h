#pragma once

// Small dose records and image headers written with DCMTK, so that every
// rule is tested without the real records: a report is built item by item
// in DCMTK's document tree and saved as a DICOM file.

#include "common/TempFolder.h"

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdatset.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcuid.h>
#include <dcmtk/dcmsr/dsrdoc.h>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim::testing {

class ReportBuilder {
  public:
    // A dose report whose procedure is `procedure` (DICOM's projection X-ray
    // by default; a CT or mammography code for the refusals).
    explicit ReportBuilder(const DSRCodedEntryValue& procedure = {"113704", "DCM",
                                                                  "Projection X-Ray"}) {
        Open(DSRTypes::RT_isRoot, "113701", "X-Ray Radiation Dose Report");
        Code("121058", "Procedure reported", procedure, DSRTypes::RT_hasConceptMod);
    }

    // A container: items added until Close() go inside it.
    ReportBuilder& Open(DSRTypes::E_RelationshipType relation, const char* code,
                        const char* meaning) {
        Add(relation, DSRTypes::VT_Container, code, meaning);
        Tree().getCurrentContentItem().setContinuityOfContent(DSRTypes::COC_Separate);
        open_.push_back(false);
        return *this;
    }
    ReportBuilder& Close() {
        if (open_.back())
            Tree().goUp();
        open_.pop_back();
        return *this;
    }
    // An irradiation event, with its plane ("113622" single, "113620" A, "113621" B).
    ReportBuilder& Event(const char* type = "Fluoroscopy", const char* plane = "113622") {
        Open(DSRTypes::RT_contains, "113706", "Irradiation Event X-Ray Data");
        Code("113764", "Acquisition Plane", {plane, "DCM", "Plane"}, DSRTypes::RT_hasConceptMod);
        return Code("113721", "Irradiation Event Type",
                    {std::string(type) == "Fluoroscopy" ? "P5-06000" : "113611", "SRT", type});
    }
    ReportBuilder& Num(const char* code, const char* meaning, const std::string& value,
                       const char* unit) {
        Add(DSRTypes::RT_contains, DSRTypes::VT_Num, code, meaning);
        Check(Tree().getCurrentContentItem().setNumericValue(
            DSRNumericMeasurementValue(value.c_str(), DSRCodedEntryValue(unit, "UCUM", unit)),
            OFFalse));
        return *this;
    }
    // The figures most events give, in the units most records use.
    ReportBuilder& Kap(const char* value, const char* unit = "Gy.m2") {
        return Num("122130", "Dose Area Product", value, unit);
    }
    ReportBuilder& Kvp(const char* kv) { return Num("113733", "KVP", kv, "kV"); }
    ReportBuilder& Angle(const std::string& deg) {
        return Num("112011", "Positioner Primary Angle", deg, "deg");
    }
    ReportBuilder& ToIsocentre(const char* mm) {
        return Num("113748", "Distance Source to Isocenter", mm, "mm");
    }
    ReportBuilder& ToDetector(const char* mm) {
        return Num("113750", "Distance Source to Detector", mm, "mm");
    }
    ReportBuilder& Code(const char* code, const char* meaning, const DSRCodedEntryValue& value,
                        DSRTypes::E_RelationshipType relation = DSRTypes::RT_contains) {
        Add(relation, DSRTypes::VT_Code, code, meaning);
        Check(Tree().getCurrentContentItem().setCodeValue(value, OFFalse));
        return *this;
    }
    // A concept modifier of the item just added (a patient orientation's).
    ReportBuilder& Modifier(const char* code, const char* meaning,
                            const DSRCodedEntryValue& value) {
        Check(Tree().addChildContentItem(DSRTypes::RT_hasConceptMod, DSRTypes::VT_Code,
                                         DSRCodedEntryValue(code, "DCM", meaning), OFFalse));
        Check(Tree().getCurrentContentItem().setCodeValue(value, OFFalse));
        Tree().goUp();
        return *this;
    }
    ReportBuilder& Text(const char* code, const char* meaning, const char* text,
                        DSRTypes::E_ValueType type = DSRTypes::VT_Text) {
        Add(DSRTypes::RT_contains, type, code, meaning);
        Check(Tree().getCurrentContentItem().setStringValue(text, OFFalse));
        return *this;
    }
    // One X-Ray Filters container; material "C-127F9" copper, "C-120F9" aluminium.
    ReportBuilder& Filter(const char* material, const char* meaning, const char* minMm,
                          const char* maxMm) {
        Open(DSRTypes::RT_contains, "113771", "X-Ray Filters");
        Code("113757", "X-Ray Filter Material", {material, "SRT", meaning});
        Num("113758", "X-Ray Filter Thickness Minimum", minMm, "mm");
        Num("113773", "X-Ray Filter Thickness Maximum", maxMm, "mm");
        return Close();
    }
    ReportBuilder& Accumulated(const char* kapTotal, const char* unit = "Gy.m2",
                               const char* plane = "113622") {
        Open(DSRTypes::RT_contains, "113702", "Accumulated X-Ray Dose Data");
        Code("113764", "Acquisition Plane", {plane, "DCM", "Plane"}, DSRTypes::RT_hasConceptMod);
        Num("113722", "Dose Area Product Total", kapTotal, unit);
        return Close();
    }

    // Saves the report; `damage` may change the dataset DCMTK wrote first.
    std::filesystem::path Save(const TempFolder& folder, const std::string& name,
                               const std::function<void(DcmDataset&)>& damage = {}) {
        while (open_.size() > 1)
            Close();
        DcmFileFormat file;
        document_.setManufacturer("Veltrim Test Unit");
        document_.setManufacturerModelName("Test");
        document_.setDeviceSerialNumber("1");
        document_.setSoftwareVersions("1");
        document_.setStudyDate("20260102");
        document_.completeDocument();
        Check(document_.write(*file.getDataset()));
        if (damage)
            damage(*file.getDataset());
        const std::filesystem::path path = folder / name;
        Check(file.saveFile(path.c_str(), EXS_LittleEndianExplicit));
        return path;
    }

  private:
    DSRDocumentTree& Tree() { return document_.getTree(); }
    static void Check(const OFCondition& status) {
        if (status.bad())
            throw std::runtime_error(std::string("DCMTK: ") + status.text());
    }
    void Add(DSRTypes::E_RelationshipType relation, DSRTypes::E_ValueType type, const char* code,
             const char* meaning) {
        const DSRCodedEntryValue name(code, "DCM", meaning);
        const bool sibling = !open_.empty() && open_.back();
        Check(sibling         ? Tree().addContentItem(relation, type, name, OFFalse)
              : open_.empty() ? (Tree().addContentItem(relation, type, DSRTypes::AM_afterCurrent)
                                     ? Tree().getCurrentContentItem().setConceptName(name, OFFalse)
                                     : OFCondition(EC_IllegalCall))
                              : Tree().addChildContentItem(relation, type, name, OFFalse));
        if (!open_.empty())
            open_.back() = true;
    }

    DSRDocument document_{DSRTypes::DT_XRayRadiationDoseSR};
    std::vector<bool> open_; // per open container: whether it has an item yet
};

// A test's folder and a report to build in it.
struct RecordTest : ::testing::Test {
    TempFolder folder;
    ReportBuilder b;
};

// An image header: the attributes given (tag, value), with DICOM's file
// meta information so that it reads as a Part 10 file.
inline std::filesystem::path
SaveHeader(const TempFolder& folder, const std::string& name,
           const std::vector<std::pair<DcmTagKey, std::string>>& attributes) {
    DcmFileFormat file;
    DcmDataset& dataset = *file.getDataset();
    dataset.putAndInsertString(DCM_SOPClassUID, UID_DigitalXRayImageStorageForPresentation);
    dataset.putAndInsertString(DCM_SOPInstanceUID, "1.2.826.0.1.3680043.2.1125.1.1");
    for (const auto& [tag, value] : attributes)
        dataset.putAndInsertString(tag, value.c_str());
    const std::filesystem::path path = folder / name;
    if (file.saveFile(path.c_str(), EXS_LittleEndianExplicit).bad())
        throw std::runtime_error("DCMTK could not save the header");
    return path;
}

} // namespace veltrim::testing
