#include "core/CFormat.h"
#include "files/ExposureKeys.h"
#include "files/StudyFile.h"
#include "files/StudyFileKeys.h"

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
    template <class Owner, class Value, std::size_t N>
    void Numbers(const Owner& owner, const StudyNumber<Owner, Value> (&fields)[N]) {
        for (const StudyNumber<Owner, Value>& field : fields)
            Number(field.Key, owner.*field.Member);
    }
    void Text(const char* key, const std::string& value) { Raw(key, JsonString(value)); }
    std::string Done() const { return text_.empty() ? "{}" : text_ + "}"; }

  private:
    std::string text_;
};

std::string PointText(const StudyPoint& p) {
    ObjectText o;
    o.Text("name", p.Name);
    for (const PointAxis& axis : PointAxes) {
        o.Number(axis.At.Key, p.*axis.At.Member);
        o.Number(axis.Uncertainty.Key, p.*axis.Uncertainty.Member);
    }
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
    o.Numbers(e, BeamNumbers);
    o.Text("scatter_model", e.Model == ScatterModel::Divergent ? "divergent" : "classic");
    o.Numbers(e, FieldNumbers);
    o.Number("centre_depth_cm", e.CentreDepthCm);
    for (const ExposureKey& k : ExposureKeys)
        o.Number(k.StudyFileKey, e.Form.Parts.*k.Part);
    o.Numbers(e.Form, ReferenceNumbers);
    o.Number("exposure_uncertainty_pct", e.UncertaintyPct);
    o.Number("repeats", static_cast<double>(e.Repeats));
    o.Numbers(e, TableNumbers);
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
