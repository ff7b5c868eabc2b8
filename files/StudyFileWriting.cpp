#include "core/CFormat.h"
#include "files/StudyFile.h"

#include <optional>

namespace veltrim {
namespace {

// One object's members on one line, in the order added.
class ObjectText {
  public:
    void Raw(const char* key, const std::string& json) {
        text_ += text_.empty() ? "{" : ", ";
        text_ += JsonString(key) + ": " + json;
    }
    void Number(const char* key, double value) { Raw(key, ShortestText(value)); }
    void Number(const char* key, const std::optional<double>& value) {
        if (value)
            Number(key, *value);
    }
    void Text(const char* key, const std::string& value) { Raw(key, JsonString(value)); }
    std::string Done() const { return text_.empty() ? "{}" : text_ + "}"; }

  private:
    std::string text_;
};

std::string PointText(const StudyPoint& p) {
    ObjectText o;
    o.Text("name", p.Name);
    o.Number("depth_cm", p.DepthCm);
    o.Number("depth_uncertainty_cm", p.DepthUncertaintyCm);
    o.Number("left_cm", p.LeftCm);
    o.Number("left_uncertainty_cm", p.LeftUncertaintyCm);
    o.Number("head_cm", p.HeadCm);
    o.Number("head_uncertainty_cm", p.HeadUncertaintyCm);
    return o.Done();
}

std::string AssumedText(const std::vector<AssumedValue>& assumed) {
    std::string text = "[";
    for (const AssumedValue& a : assumed) {
        ObjectText o;
        o.Text("field", a.Field);
        o.Raw("value", a.Value);
        o.Text("why", a.Why);
        text += (text.size() > 1 ? ", " : "") + o.Done();
    }
    return text + "]";
}

std::string ExposureText(const StudyExposure& e) {
    ObjectText o;
    o.Text("name", e.Name);
    o.Text("entry", EntryKey(e.Entry));
    o.Number("angle_deg", e.AngleDeg);
    o.Number("kv", e.TubeVoltage);
    o.Number("rectification", static_cast<double>(e.Rectification));
    o.Number("al_mm", e.AlMm);
    o.Number("cu_mm", e.CuMm);
    o.Number("target_angle_deg", e.TargetAngleDeg);
    o.Number("inherent_al_mm", e.InherentAlMm);
    o.Number("hvl1_mm_al", e.MeasuredHvl1MmAl);
    o.Text("scatter_model", e.Model == ScatterModel::Divergent ? "divergent" : "classic");
    o.Number("fsd_cm", e.FsdCm);
    o.Number("field_x_cm", e.FieldXCm);
    o.Number("field_y_cm", e.FieldYCm);
    o.Number("centre_left_cm", e.CentreLeftCm);
    o.Number("centre_head_cm", e.CentreHeadCm);
    o.Number("centre_depth_cm", e.CentreDepthCm);
    const ExposureParts& parts = e.Form.Parts;
    o.Number("air_kerma_mGy", parts.AirKermaMgy);
    o.Number("tube_output_uGy_per_mAs", parts.TubeOutput);
    o.Number("mas", parts.Mas);
    o.Number("output_distance_cm", parts.OutputDistanceCm);
    o.Number("kap_Gycm2", parts.KapGyCm2);
    o.Number("esak_mGy", parts.EsakMgy);
    o.Number("reference_air_kerma_mGy", e.Form.ReferenceAirKermaMgy);
    o.Number("reference_distance_cm", e.Form.ReferenceDistanceCm);
    o.Number("exposure_uncertainty_pct", e.UncertaintyPct);
    o.Number("repeats", static_cast<double>(e.Repeats));
    o.Number("table_transmission", e.TableTransmission);
    o.Number("table_al_mm", e.TableAlMm);
    if (!e.Assumed.empty())
        o.Raw("assumed", AssumedText(e.Assumed));
    if (e.Event)
        o.Raw("event", JsonText(*e.Event));
    return o.Done();
}

template <class Item, class Text> std::string ListText(const std::vector<Item>& items, Text text) {
    std::string out = "[";
    for (std::size_t k = 0; k < items.size(); ++k)
        out += (k ? ",\n    " : "\n    ") + text(items[k]);
    return out + (items.empty() ? "]" : "\n  ]");
}

} // namespace

std::string JsonText(const JsonValue& value) {
    switch (value.Type) {
    case JsonValue::Kind::Null:
        return "null";
    case JsonValue::Kind::Boolean:
        return value.Boolean ? "true" : "false";
    case JsonValue::Kind::Number:
        return ShortestText(value.Number);
    case JsonValue::Kind::String:
        return JsonString(value.String);
    case JsonValue::Kind::Array: {
        std::string text = "[";
        for (std::size_t k = 0; k < value.Items.size(); ++k)
            text += (k ? ", " : "") + JsonText(value.Items[k]);
        return text + "]";
    }
    case JsonValue::Kind::Object:
        break;
    }
    std::string text = "{";
    for (std::size_t k = 0; k < value.Members.size(); ++k)
        text += (k ? ", " : "") + JsonString(value.Members[k].Name) + ": " +
                JsonText(value.Members[k].Value);
    return text + "}";
}

std::string StudyFileBytes(const Study& study) {
    std::string bytes = "{\n  \"veltrim_study\": " + std::to_string(StudyFileFormat) + ",\n";
    if (study.Identifiers)
        bytes += "  \"study\": " + JsonText(*study.Identifiers) + ",\n";
    if (study.Record)
        bytes += "  \"record\": " + JsonText(*study.Record) + ",\n";
    ObjectText patient;
    patient.Number("ap_thickness_cm", study.Patient.ApThicknessCm);
    patient.Number("lateral_width_cm", study.Patient.LateralWidthCm);
    patient.Text("medium", MediumKey(study.Patient.PatientMedium));
    bytes += "  \"patient\": " + patient.Done() + ",\n";
    bytes += "  \"points\": " + ListText(study.Points, PointText) + ",\n";
    bytes += "  \"exposures\": " + ListText(study.Exposures, ExposureText) + "\n}\n";
    return bytes;
}

} // namespace veltrim
