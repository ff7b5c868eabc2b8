#include "dicom/StudyJson.h"

#include "core/CFormat.h"
#include "core/JsonReading.h"

#include <utility>

namespace veltrim {
namespace {

// The members of one JSON object in the order added; numbers in their
// shortest text that reads back to the same double.
class Members {
  public:
    Members& Number(std::string_view key, double value) { return Raw(key, ShortestText(value)); }
    Members& Number(std::string_view key, const std::optional<double>& value) {
        return value ? Number(key, *value) : *this;
    }
    Members& Text(std::string_view key, std::string_view value) {
        return Raw(key, JsonString(value));
    }
    Members& TextIfAny(std::string_view key, std::string_view value) {
        return value.empty() ? *this : Text(key, value);
    }
    Members& Raw(std::string_view key, std::string value) {
        items_.emplace_back(JsonString(key), std::move(value));
        return *this;
    }
    // Members one per line, indented below `indent`.
    std::string Block(int indent) const {
        const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
        std::string out = "{";
        for (std::size_t i = 0; i < items_.size(); ++i)
            out += (i ? ",\n" : "\n") + inner + items_[i].first + ": " + items_[i].second;
        return out + "\n" + std::string(static_cast<std::size_t>(indent), ' ') + "}";
    }
    // Members on one line.
    std::string Line() const {
        std::string out = "{";
        for (std::size_t i = 0; i < items_.size(); ++i)
            out += (i ? ", " : "") + items_[i].first + ": " + items_[i].second;
        return out + "}";
    }

  private:
    std::vector<std::pair<std::string, std::string>> items_;
};

std::string Array(const std::vector<std::string>& values, int indent) {
    if (values.empty())
        return "[]";
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ",\n" : "\n") + inner + values[i];
    return out + "\n" + std::string(static_cast<std::size_t>(indent), ' ') + "]";
}

const char* PlaneName(AcquisitionPlane plane) {
    // In the order of AcquisitionPlane.
    static constexpr const char* Names[] = {"single", "A", "B"};
    return Names[static_cast<std::size_t>(plane)];
}

// What the event recorded, carried beside the exposure made of it.
std::string EventObject(const IrradiationEvent& e) {
    Members m;
    m.Number("number", e.Number)
        .TextIfAny("uid", e.Uid)
        .TextIfAny("datetime", e.DateTime)
        .TextIfAny("protocol", e.Protocol)
        .TextIfAny("type", e.Type)
        .Text("plane", PlaneName(e.Plane))
        .Number("kvp", e.Kvp)
        .Number("tube_current_mA", e.TubeCurrentMa)
        .Number("exposure_time_ms", e.ExposureTimeMs)
        .Number("mas", e.Mas)
        .Number("cu_mm", e.CuMm)
        .Number("al_mm", e.AlMm)
        .Number("hvl1_mm_al", e.Hvl1MmAl)
        .Number("kap_Gycm2", e.KapGycm2)
        .Number("reference_air_kerma_mGy", e.ReferenceAirKermaMgy)
        .TextIfAny("reference_point", e.ReferencePointDefinition)
        .Number("primary_angle_deg", e.PrimaryAngleDeg)
        .Number("secondary_angle_deg", e.SecondaryAngleDeg)
        .Number("source_detector_cm", e.SourceToDetectorCm)
        .Number("source_isocentre_cm", e.SourceToIsocentreCm)
        .Number("source_reference_cm", e.SourceToReferenceCm)
        .Number("source_skin_cm", e.SourceToEntranceCm)
        .Number("source_patient_cm", e.SourceToPatientCm)
        .Number("table_height_cm", e.TableHeightCm)
        .Number("table_longitudinal_cm", e.TableLongitudinalCm)
        .Number("table_lateral_cm", e.TableLateralCm)
        .Number("collimated_height_cm", e.CollimatedFieldHeightCm)
        .Number("collimated_width_cm", e.CollimatedFieldWidthCm)
        .Number("collimated_area_cm2", e.CollimatedFieldAreaCm2)
        .TextIfAny("patient_orientation", e.PatientOrientation)
        .TextIfAny("patient_orientation_modifier", e.PatientOrientationModifier)
        .TextIfAny("view", e.View)
        .Number("body_part_thickness_cm", e.BodyPartThicknessCm)
        .Number("entrance_dose_mGy", e.EntranceDoseMgy);
    return m.Line();
}

std::string AssumedArray(const std::vector<Assumption>& assumed, int indent) {
    std::vector<std::string> lines;
    for (const Assumption& a : assumed) {
        Members m;
        m.Text("field", a.Field);
        if (const double* number = std::get_if<double>(&a.Value))
            m.Number("value", *number);
        else
            m.Text("value", std::get<std::string>(a.Value));
        lines.push_back(m.Text("why", a.Why).Line());
    }
    return Array(lines, indent);
}

std::string ExposureObject(const EventExposure& x, const IrradiationEvent& event) {
    Members m;
    m.Text("name", x.Name).Text("entry", EntryName(x.Entry));
    if (x.AngleDeg != 0.0)
        m.Number("angle_deg", x.AngleDeg);
    m.Number("kv", x.Kv)
        .Number("rectification", AssumedRectification)
        .Number("al_mm", x.AlMm)
        .Number("cu_mm", x.CuMm)
        .Number("hvl1_mm_al", x.Hvl1MmAl)
        .Number("fsd_cm", x.FsdCm)
        .Number("field_x_cm", x.FieldXCm)
        .Number("field_y_cm", x.FieldYCm)
        .Number("centre_left_cm", x.CentreLeftCm)
        .Number("centre_head_cm", x.CentreHeadCm)
        .Number("reference_air_kerma_mGy", x.ReferenceAirKermaMgy)
        .Number("reference_distance_cm", x.ReferenceDistanceCm)
        .Number("kap_Gycm2", x.KapGycm2)
        .Number("esak_mGy", x.EsakMgy)
        .Number("table_transmission", x.TableTransmission)
        .Number("repeats", 1.0)
        .Raw("assumed", AssumedArray(x.Assumed, 6))
        .Raw("event", EventObject(event));
    return m.Block(4);
}

// The unit that made the record: its manufacturer and model.
std::string Equipment(const DoseRecord& record) {
    if (record.Model.empty() || record.Manufacturer.empty())
        return record.Manufacturer + record.Model;
    return record.Manufacturer + " " + record.Model;
}

std::string RecordObject(const DoseRecord& record) {
    std::vector<std::string> skipped;
    for (const std::string& s : record.Skipped)
        skipped.push_back(JsonString(s));
    Members m;
    m.TextIfAny("file_sha256", record.FileSha256)
        .Text("kind", KindName(record.Kind))
        .TextIfAny("manufacturer", Equipment(record))
        .Number("events", static_cast<double>(record.Events.size()))
        .Raw("skipped", Array(skipped, 4))
        .Number("accumulated_kap_Gycm2", record.AccumulatedKapGycm2);
    return m.Block(2);
}

// YYYY-MM-DD from DICOM's YYYYMMDD; empty for anything else.
std::string ExamDate(const std::string& date) {
    if (date.size() != 8 || date.find_first_not_of("0123456789") != std::string::npos)
        return {};
    return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

} // namespace

const char* KindName(RecordKind kind) {
    // In the order of RecordKind.
    static constexpr const char* Names[] = {"projection radiography", "fluoroscopy",
                                            "image header"};
    return Names[static_cast<std::size_t>(kind)];
}

std::optional<double> EventsKapGycm2(const DoseRecord& record) {
    std::optional<double> sum;
    for (const IrradiationEvent& e : record.Events)
        if (e.KapGycm2)
            sum = sum.value_or(0.0) + *e.KapGycm2;
    return sum;
}

std::string StudyJson(const DoseRecord& record, const std::vector<EventExposure>& exposures,
                      const RecordPatient& patient, const std::vector<RecordPoint>& points) {
    Members p;
    p.Number("ap_thickness_cm", patient.ApThicknessCm)
        .Number("lateral_width_cm", patient.LateralWidthCm)
        .Text("medium", patient.Medium);
    std::vector<std::string> pointTexts;
    for (const RecordPoint& point : points) {
        Members m;
        m.Text("name", point.Name)
            .Number("depth_cm", point.DepthCm)
            .Number("left_cm", point.LeftCm)
            .Number("head_cm", point.HeadCm);
        pointTexts.push_back(m.Line());
    }
    std::vector<std::string> exposureTexts;
    for (std::size_t i = 0; i < exposures.size(); ++i)
        exposureTexts.push_back(ExposureObject(exposures[i], record.Events.at(i)));
    Members study;
    study.Number("veltrim_study", 1.0)
        .Raw("patient", p.Block(2))
        .Raw("points", Array(pointTexts, 2))
        .Raw("exposures", Array(exposureTexts, 2))
        .Raw("record", RecordObject(record));
    if (const std::string date = ExamDate(record.StudyDate); !date.empty())
        study.Raw("study", Members().Text("exam_date", date).Line());
    return study.Block(0) + "\n";
}

} // namespace veltrim
