#include "files/StudyTable.h"

#include "core/CFormat.h"
#include "files/StudyFile.h"

#include <set>

namespace veltrim {
namespace {

// A CSV field (RFC 4180): quoted when it holds a comma, a quote or a line end.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text)
        quoted += ch == '"' ? "\"\"" : std::string(1, ch);
    return quoted + "\"";
}

// A name line's value on one line.
std::string OneLine(std::string text) {
    for (char& ch : text)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    return text;
}

// The dose record's own figures, and the KAP of the exposures read from it.
std::string RecordLines(const Study& study, bool precise) {
    std::string lines;
    if (!study.Record)
        return lines;
    const JsonValue& record = *study.Record;
    if (const JsonValue* kind = record.Find("kind"); kind && kind->Type == JsonValue::Kind::String)
        lines += "# record_kind=" + OneLine(kind->String) + "\n";
    if (const JsonValue* events = record.Find("events"))
        lines += "# events=" + JsonText(*events) + "\n";
    if (const JsonValue* skipped = record.Find("skipped")) {
        std::string items = skipped->Type == JsonValue::Kind::Array ? "" : JsonText(*skipped);
        for (const JsonValue& item : skipped->Items)
            items += (items.empty() ? "" : "; ") +
                     (item.Type == JsonValue::Kind::String ? item.String : JsonText(item));
        lines += "# skipped=" + OneLine(items.empty() ? "none" : items) + "\n";
    }
    if (const JsonValue* kap = record.Find("accumulated_kap_Gycm2"))
        lines += "# record_kap_Gycm2=" + JsonText(*kap) + "\n";
    // An event's own KAP: its exposure may be stated by the air kerma at
    // the reference point instead.
    double kap = 0.0;
    for (const StudyExposure& e : study.Exposures) {
        const JsonValue* recorded = e.Event ? e.Event->Find("kap_Gycm2") : nullptr;
        if (recorded && recorded->Type == JsonValue::Kind::Number)
            kap += recorded->Number * e.Repeats;
        else if (e.Form.Parts.KapGyCm2)
            kap += *e.Form.Parts.KapGyCm2 * e.Repeats;
    }
    lines += "# events_kap_Gycm2=" + FormatC(precise ? "%.17g" : "%.6g", kap) + "\n";
    return lines;
}

} // namespace

std::string StudyTableText(const Study& study, const StudyResult& result, bool precise) {
    const auto number = [precise](double value) {
        return FormatC(precise ? "%.17g" : "%.6g", value);
    };
    std::string text;
    text += "# patient_ap_thickness_cm=" + number(study.Patient.ApThicknessCm) + "\n";
    text += "# patient_lateral_width_cm=" + number(study.Patient.LateralWidthCm) + "\n";
    text += std::string("# medium=") + MediumKey(study.Patient.PatientMedium) + "\n";
    std::set<std::string> models;
    for (const StudyExposure& e : study.Exposures)
        models.insert(e.Model == ScatterModel::Divergent ? "divergent" : "classic");
    std::string model;
    for (const std::string& m : models)
        model += (model.empty() ? "" : "+") + m;
    text += "# scatter_model=" + model + "\n";
    text += "# exposures=" + std::to_string(study.Exposures.size()) + "\n";
    text += "# points=" + std::to_string(study.Points.size()) + "\n";
    text += "# range=the exposure's, the point's place, the model's accuracy there and any "
            "default, combined in quadrature; totals add the ends\n";
    text += RecordLines(study, precise);
    for (std::size_t i = 0; i < result.Exposures.size(); ++i) {
        const std::vector<AssumedValue>& assumed = result.Exposures[i].Assumed;
        if (assumed.empty())
            continue;
        std::string line = "# assumed=" + OneLine(study.Exposures[i].Name) + ":";
        for (std::size_t k = 0; k < assumed.size(); ++k)
            line += (k ? "; " : " ") + OneLine(assumed[k].Field + "=" + assumed[k].Value + " (" +
                                               assumed[k].Why + ")");
        text += line + "\n";
    }
    for (const StudyDose& d : result.Doses)
        if (d.Region != ModelRegion::InField)
            text += "# " +
                    std::string(d.Region == ModelRegion::BeyondValidated ? "beyond_validation"
                                                                         : "beside_field") +
                    "=" + OneLine(study.Exposures[d.Exposure].Name) + " at " +
                    OneLine(study.Points[d.Point].Name) + "\n";
    text += "exposure,point,entry,depth_cm,off_axis_cm,dose_mGy,low_mGy,high_mGy\n";
    for (const StudyDose& d : result.Doses) {
        const StudyExposure& e = study.Exposures[d.Exposure];
        text += Field(e.Name) + "," + Field(study.Points[d.Point].Name) + "," + EntryKey(e.Entry) +
                "," + number(d.DepthCm) + "," + number(d.OffAxisCm) + "," + number(d.Mgy.Dose) +
                "," + number(d.Mgy.Low) + "," + number(d.Mgy.High) + "\n";
    }
    for (std::size_t k = 0; k < result.Totals.size(); ++k) {
        const DoseRange& t = result.Totals[k];
        text += "total," + Field(study.Points[k].Name) + ",,,," + number(t.Dose) + "," +
                number(t.Low) + "," + number(t.High) + "\n";
    }
    return text;
}

} // namespace veltrim
