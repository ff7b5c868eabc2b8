#include "report/StudyReport.h"

#include "core/CFormat.h"
#include "core/Inputs.h"
#include "files/StudyFile.h"
#include "files/TableExport.h"

#include <algorithm>

namespace veltrim {
namespace {

std::string Figure(double value) {
    return FormatC("%.6g", value);
}

// A string member of the study's identifiers, or nothing.
std::string Identifier(const Study& study, const char* key) {
    if (!study.Identifiers)
        return {};
    const JsonValue* value = study.Identifiers->Find(key);
    return value && value->Type == JsonValue::Kind::String ? value->String : std::string();
}

std::string ExposureForm(const StudyExposure& e) {
    const ExposureParts& p = e.Form.Parts;
    if (e.Form.ReferenceAirKermaMgy)
        return "reference air kerma " + Figure(*e.Form.ReferenceAirKermaMgy) + " mGy at " +
               Figure(*e.Form.ReferenceDistanceCm) + " cm from the focus";
    if (p.KapGyCm2)
        return "KAP " + Figure(*p.KapGyCm2) + " Gy cm2";
    if (p.TubeOutput)
        return "tube output " + Figure(*p.TubeOutput) + " uGy/mAs at " +
               Figure(p.OutputDistanceCm.value_or(*DefaultNumber(inputs::OutputDistance))) +
               " cm x " + Figure(*p.Mas) + " mAs";
    if (p.EsakMgy)
        return "entrance surface air kerma " + Figure(*p.EsakMgy) + " mGy";
    return "incident air kerma " + Figure(p.AirKermaMgy.value_or(0.0)) + " mGy";
}

// A dose record's event: its number, time, protocol and type as recorded.
std::string RecordedEvent(const JsonValue& event) {
    std::string text;
    for (const char* key : {"number", "datetime", "protocol", "type"}) {
        const JsonValue* value = event.Find(key);
        if (value == nullptr)
            continue;
        text += (text.empty() ? "" : ", ") +
                (value->Type == JsonValue::Kind::String ? value->String : JsonText(*value));
    }
    return text;
}

ReportSection ExposureSection(const StudyExposure& e, const StudyExposureResult& r) {
    ReportSection s;
    s.Title = "Exposure " + e.Name;
    if (e.Event)
        if (const std::string event = RecordedEvent(*e.Event); !event.empty())
            s.Lines.push_back({"Recorded event", event});
    std::string beam = Figure(e.TubeVoltage) + " kV, " + WaveformNamesOf(e.Rectification).Record;
    if (e.MeasuredHvl1MmAl)
        beam += ", measured HVL1 " + Figure(*e.MeasuredHvl1MmAl) + " mm Al";
    else
        beam += ", " + Figure(e.AlMm.value_or(0.0)) + " mm Al + " + Figure(e.CuMm.value_or(0.0)) +
                " mm Cu added";
    s.Lines.push_back({"Beam", beam});
    s.Lines.push_back(
        {"Scatter model", e.Model == ScatterModel::Divergent ? "divergent" : "classic"});
    s.Lines.push_back({"Entry", std::string(EntryKey(e.Entry)) + ", " + Figure(e.AngleDeg) +
                                    " degrees about the long axis"});
    s.Lines.push_back({"Geometry", "FSD " + Figure(e.FsdCm) + " cm, field " + Figure(e.FieldXCm) +
                                       " x " + Figure(e.FieldYCm) + " cm at the skin, patient " +
                                       Figure(r.ThicknessCm) + " cm thick along the ray"});
    s.Lines.push_back({"Exposure", ExposureForm(e) + " (+/- " + Figure(r.ExposurePct) + " %), " +
                                       std::to_string(e.Repeats) + " x"});
    s.Lines.push_back({"Incident air kerma", Figure(r.IncidentAirKermaMgy) + " mGy per exposure"});
    if (e.TableTransmission || e.TableAlMm)
        s.Lines.push_back({"Table", (e.TableAlMm ? Figure(*e.TableAlMm) + " mm Al, " : "") +
                                        "transmission " + Figure(r.Transmission)});
    for (const AssumedValue& a : r.Assumed)
        s.Lines.push_back({"Assumed " + a.Field, a.Value + ": " + a.Why});
    return s;
}

} // namespace

ReportContent StudyReportOf(const Study& study, const StudyResult& result,
                            const ReportHeader& header) {
    ReportHeader head = header;
    for (auto [typed, key] :
         {std::pair{&head.PatientId, "patient_id"}, std::pair{&head.Exam, "exam"},
          std::pair{&head.ExamDate, "exam_date"}})
        if (typed->empty())
            *typed = Identifier(study, key);
    ReportContent report;
    report.Title = "Dose of an examination";
    report.Program = ProgramLine(head, Language::English);
    report.Sections.push_back(HeaderSection(head, Language::English));
    ReportSection patient{"Patient and points", {}};
    patient.Lines.push_back({"Box patient", Figure(study.Patient.ApThicknessCm) + " cm AP x " +
                                                Figure(study.Patient.LateralWidthCm) +
                                                " cm lateral, " +
                                                MediumKey(study.Patient.PatientMedium)});
    for (const StudyPoint& p : study.Points)
        patient.Lines.push_back(
            {"Point " + p.Name,
             "depth " + Figure(p.DepthCm) + " +/- " + Figure(p.DepthUncertaintyCm) + ", left " +
                 Figure(p.LeftCm) + " +/- " + Figure(p.LeftUncertaintyCm) + ", head " +
                 Figure(p.HeadCm) + " +/- " + Figure(p.HeadUncertaintyCm) + " cm"});
    report.Sections.push_back(patient);
    ReportSection totals{"Total dose at each point", {}};
    for (std::size_t k = 0; k < result.Totals.size(); ++k) {
        const DoseRange& t = result.Totals[k];
        totals.Lines.push_back({study.Points[k].Name, Figure(t.Dose) + " mGy (" + Figure(t.Low) +
                                                          " to " + Figure(t.High) + " mGy)"});
    }
    report.Sections.push_back(totals);
    for (std::size_t i = 0; i < study.Exposures.size(); ++i)
        report.Sections.push_back(ExposureSection(study.Exposures[i], result.Exposures[i]));
    ReportSection beyond{"Beside the field or beyond validation", {}};
    for (const StudyDose& d : result.Doses)
        if (d.Region != ModelRegion::InField)
            beyond.Lines.push_back(
                {study.Exposures[d.Exposure].Name + " at " + study.Points[d.Point].Name,
                 RegionKey(d.Region)});
    if (!beyond.Lines.empty())
        report.Sections.push_back(beyond);
    report.TableTitle = "Dose per exposure and in total, mGy";
    report.TableHeader = {"exposure",    "point", "entry", "depth cm",
                          "off axis cm", "dose",  "low",   "high"};
    for (const StudyDose& d : result.Doses)
        report.TableRows.push_back({study.Exposures[d.Exposure].Name, study.Points[d.Point].Name,
                                    EntryKey(study.Exposures[d.Exposure].Entry), Figure(d.DepthCm),
                                    Figure(d.OffAxisCm), Figure(d.Mgy.Dose), Figure(d.Mgy.Low),
                                    Figure(d.Mgy.High)});
    for (std::size_t k = 0; k < result.Totals.size(); ++k)
        report.TableRows.push_back({"total", study.Points[k].Name, "", "", "",
                                    Figure(result.Totals[k].Dose), Figure(result.Totals[k].Low),
                                    Figure(result.Totals[k].High)});
    report.AccuracyTitle = "How the range is formed";
    report.Accuracy =
        "Each dose is computed at the point in a slab phantom as thick as the patient along the "
        "beam's central ray. Its range combines, in quadrature and each side on its own, the "
        "exposure's stated uncertainty (or its form's default), the dose across the point's "
        "depth and position ranges, the model's validated accuracy where the point lies (2 % in "
        "the field, 5 % to 10 cm and 10 % to 20 cm beside it for the divergent model; 10.5 % "
        "for the classic one; 25 % beyond validation) and 10 % for each default beam figure. "
        "Totals add the ends of the exposures' ranges, their errors being shared.";
    return report;
}

} // namespace veltrim
