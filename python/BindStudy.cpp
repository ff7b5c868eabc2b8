// veltrim.Study: an examination's exposures at its points, computed by
// ComputeStudy; the same bits as veltrim-calc --study --precise.
#include "core/NumberReading.h"
#include "dicom/DoseRecordLoader.h"
#include "engine/ComputeStudy.h"
#include "engine/DataLocation.h"
#include "engine/StudyBeams.h"
#include "engine/StudyGeometry.h"
#include "files/ExposureKeys.h"
#include "files/StudyFile.h"
#include "python/Bindings.h"
#include "report/StudyReport.h"
#ifdef VELTRIM_REPORTS
#include "report/ReportLoader.h"
#endif

#include <algorithm>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

namespace veltrim::python {
namespace {

using Number = std::optional<double>;

// The results as arrays: [exposure, point] for each exposure, [point] for
// the totals.
struct StudyArrays {
    std::vector<std::string> Exposures, Points;
    py::array_t<double> DepthCm, OffAxisCm, DoseMgy, LowMgy, HighMgy;
    py::array_t<double> TotalMgy, TotalLowMgy, TotalHighMgy;
    std::vector<std::vector<py::tuple>> Assumed; // per exposure: (field, value, why)
    std::size_t BeamsComputed = 0;
};

[[noreturn]] void Refuse(const StudyError& e) {
    throw py::value_error(e.what());
}

Study LoadStudy(const py::object& path) {
    try {
        return ReadStudyFile(PathText(path));
    } catch (const StudyError& e) {
        Refuse(e);
    }
}

// A dose record's events as the exposures (docs/dose-records.md), through
// the study document veltrim-calc --study reads and --save-study writes, so
// that both compute the same bits. Points: (name, depth_cm) or (name,
// depth_cm, left_cm, head_cm); without any, add them with add_point.
Study StudyFromDicom(const py::object& path, double thickness, double width,
                     const std::vector<py::tuple>& points) {
    std::vector<RecordPoint> places;
    for (const py::tuple& p : points) {
        if (p.size() != 2 && p.size() != 4)
            throw py::value_error("a point is (name, depth_cm) or (name, depth_cm, left_cm, "
                                  "head_cm)");
        RecordPoint place{p[0].cast<std::string>(), p[1].cast<double>()};
        if (p.size() == 4) {
            place.LeftCm = p[2].cast<double>();
            place.HeadCm = p[3].cast<double>();
        }
        places.push_back(place);
    }
    // The study file must name a point: one at the skin stands in for the
    // reading alone and is taken away again.
    const bool standIn = places.empty();
    if (standIn)
        places.push_back({"-", 0.0});
    const std::string file = PathText(path);
    try {
        Study study = ParseStudy(LoadedRecordStudy(file, {thickness, width}, places), file);
        if (standIn)
            study.Points.clear();
        return study;
    } catch (const DoseRecordError& e) {
        throw py::value_error(e.what());
    } catch (const StudyError& e) {
        Refuse(e);
    }
}

Study NewStudy(double thickness, double width, const std::string& medium) {
    const std::optional<Medium> known = MediumFromKey(medium);
    if (!known)
        throw py::value_error("medium \"" + medium + "\" is not icru-4, icru-44, water or pmma");
    Study study;
    study.Patient = {thickness, width, *known};
    return study;
}

void AddPoint(Study& study, const std::string& name, double depth, double left, double head,
              double depthUncertainty, double leftUncertainty, double headUncertainty) {
    const StudyPoint point{name,           depth, left, head, depthUncertainty, leftUncertainty,
                           headUncertainty};
    try {
        CheckInsidePatient(study.Patient, point);
    } catch (const StudyError& e) {
        Refuse(e);
    }
    study.Points.push_back(point);
}

// The beam of a Conditions (read from its texts in the window's units, by
// the one number reader) with the exposure's geometry and form.
void AddExposure(Study& study, const WindowConditions& c, const std::string& name,
                 const std::string& entry, const py::kwargs& more) {
    StudyExposure e;
    e.Name = name;
    const std::optional<BeamEntry> side = EntryFromKey(entry);
    if (!side)
        throw py::value_error("entry \"" + entry + "\" is not anterior, posterior, left or right");
    e.Entry = *side;
    // The numbers as given, in the window's units (no mm-cm-mm round trip).
    e.TubeVoltage = c.Given[0];
    e.TargetAngleDeg = c.Given[1];
    e.InherentAlMm = c.Given[2];
    e.AlMm = c.Given[3];
    e.CuMm = c.Given[4];
    e.FsdCm = c.Given[5];
    e.FieldXCm = c.Given[6];
    e.FieldYCm = c.Given[7];
    e.Rectification = c.Rectification;
    const auto number = [&](const char* key) -> Number {
        if (!more.contains(key) || more[key].is_none())
            return std::nullopt;
        return more[key].cast<double>();
    };
    static const char* const Known[] = {"scatter_model",
                                        "angle_deg",
                                        "centre_left_cm",
                                        "centre_head_cm",
                                        "centre_depth_cm",
                                        "air_kerma",
                                        "tube_output",
                                        "mas",
                                        "output_distance",
                                        "kap",
                                        "esak",
                                        "reference_air_kerma",
                                        "reference_distance",
                                        "repeats",
                                        "table_transmission",
                                        "table_al_mm",
                                        "exposure_uncertainty_pct",
                                        "hvl1_mm_al"};
    for (const auto& item : more) {
        const std::string key = py::str(item.first);
        if (std::find_if(std::begin(Known), std::end(Known),
                         [&](const char* k) { return key == k; }) == std::end(Known))
            throw py::type_error("add_exposure() got an unexpected keyword argument '" + key + "'");
    }
    const std::string model = more.contains("scatter_model")
                                  ? more["scatter_model"].cast<std::string>()
                                  : inputs::ScatterModel.Default;
    if (model != "classic" && model != "divergent")
        throw py::value_error("scatter_model takes classic or divergent, not \"" + model + "\"");
    e.Model = model == "divergent" ? ScatterModel::Divergent : ScatterModel::Classic;
    e.AngleDeg = number("angle_deg").value_or(0.0);
    e.CentreLeftCm = number("centre_left_cm").value_or(0.0);
    e.CentreHeadCm = number("centre_head_cm").value_or(0.0);
    e.CentreDepthCm = number("centre_depth_cm");
    for (const ExposureKey& k : ExposureKeys)
        e.Form.Parts.*k.Part = number(k.Keyword);
    e.Form.ReferenceAirKermaMgy = number("reference_air_kerma");
    e.Form.ReferenceDistanceCm = number("reference_distance");
    e.Repeats = more.contains("repeats") ? more["repeats"].cast<int>() : 1;
    e.TableTransmission = number("table_transmission");
    e.TableAlMm = number("table_al_mm");
    e.UncertaintyPct = number("exposure_uncertainty_pct");
    e.MeasuredHvl1MmAl = number("hvl1_mm_al");
    if (e.MeasuredHvl1MmAl)
        e.AlMm.reset(); // the added Al is found for it
    try {
        CheckExposure(e);
    } catch (const StudyError& error) {
        Refuse(error);
    }
    study.Exposures.push_back(std::move(e));
}

py::array_t<double> Grid(const std::vector<double>& values, std::size_t points) {
    py::array_t<double> array({static_cast<py::ssize_t>(values.size() / (points ? points : 1)),
                               static_cast<py::ssize_t>(points)});
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

StudyArrays Compute(const Study& study, const std::optional<std::string>& data) {
    const ModelData& folder = DataOf(data);
    StudyResult result;
    try {
        result = Calculate([&] { return ComputeStudy(study, folder); });
    } catch (const StudyError& e) {
        throw Failure{e.what()};
    }
    StudyArrays out;
    const std::size_t points = study.Points.size();
    std::vector<double> depth, offAxis, dose, low, high, total, totalLow, totalHigh;
    for (const StudyDose& d : result.Doses) {
        depth.push_back(d.DepthCm);
        offAxis.push_back(d.OffAxisCm);
        dose.push_back(d.Mgy.Dose);
        low.push_back(d.Mgy.Low);
        high.push_back(d.Mgy.High);
    }
    for (const DoseRange& t : result.Totals) {
        total.push_back(t.Dose);
        totalLow.push_back(t.Low);
        totalHigh.push_back(t.High);
    }
    for (const StudyExposure& e : study.Exposures)
        out.Exposures.push_back(e.Name);
    for (const StudyPoint& p : study.Points)
        out.Points.push_back(p.Name);
    out.DepthCm = Grid(depth, points);
    out.OffAxisCm = Grid(offAxis, points);
    out.DoseMgy = Grid(dose, points);
    out.LowMgy = Grid(low, points);
    out.HighMgy = Grid(high, points);
    out.TotalMgy = Array(total);
    out.TotalLowMgy = Array(totalLow);
    out.TotalHighMgy = Array(totalHigh);
    for (const StudyExposureResult& r : result.Exposures) {
        std::vector<py::tuple>& list = out.Assumed.emplace_back();
        for (const AssumedValue& a : r.Assumed)
            list.push_back(py::make_tuple(a.Field, a.Value, a.Why));
    }
    out.BeamsComputed = result.BeamsComputed;
    return out;
}

#ifdef VELTRIM_REPORTS
// The study's PDF, as veltrim-calc --study --report writes it.
void Report(const Study& study, const py::object& path, const std::string& physicist,
            const std::optional<std::string>& data, const std::string& patientId,
            const std::string& exam, const std::string& examDate) {
    const ModelData& folder = DataOf(data);
    ReportHeader request{patientId, exam, examDate, physicist, ReportTimeNow(), {}};
    ReportContent report;
    try {
        report = Calculate([&] {
            request.DataIdentity = DataIdentity(folder.Folder());
            return StudyReportOf(study, ComputeStudy(study, folder), request);
        });
    } catch (const StudyError& e) {
        throw Failure{e.what()};
    }
    // With the interpreter lock held, so that one thread alone loads the
    // report and makes the application object Qt takes its fonts from.
    WriteUserFile(PathText(path), LoadedReportPdf(report));
}
#endif

// The names of a study's exposures or points, in order.
template <class Named> std::vector<std::string> Names(const std::vector<Named>& items) {
    std::vector<std::string> names;
    for (const Named& item : items)
        names.push_back(item.Name);
    return names;
}

} // namespace

void BindStudy(py::module_& m) {
    py::class_<StudyArrays>(m, "StudyResult",
                            "The dose of each exposure at each point ([exposure, point] arrays, "
                            "mGy, with all repeats) with its range, and the totals per point.")
        .def_readonly("exposures", &StudyArrays::Exposures)
        .def_readonly("points", &StudyArrays::Points)
        .def_readonly("depth_cm", &StudyArrays::DepthCm, "along the central ray below the entry")
        .def_readonly("off_axis_cm", &StudyArrays::OffAxisCm, "from the central ray")
        .def_readonly("dose_mgy", &StudyArrays::DoseMgy)
        .def_readonly("low_mgy", &StudyArrays::LowMgy)
        .def_readonly("high_mgy", &StudyArrays::HighMgy)
        .def_readonly("total_mgy", &StudyArrays::TotalMgy)
        .def_readonly("total_low_mgy", &StudyArrays::TotalLowMgy)
        .def_readonly("total_high_mgy", &StudyArrays::TotalHighMgy)
        .def_readonly("assumed", &StudyArrays::Assumed,
                      "per exposure, the defaults taken: (field, value as JSON, why)")
        .def_readonly("beams_computed", &StudyArrays::BeamsComputed);

    py::class_<Study>(m, "Study",
                      "An examination: a box patient, named points and every exposure "
                      "(docs/study.md).")
        .def(py::init(&NewStudy), py::arg("ap_thickness_cm"), py::arg("lateral_width_cm"),
             py::arg("medium") = inputs::Medium.Default)
        .def_static("load", &LoadStudy, py::arg("path"),
                    "Reads a study file; ValueError naming the exposure and the field.")
        .def_static("from_dicom", &StudyFromDicom, py::arg("path"), py::kw_only(),
                    py::arg("ap_thickness_cm"), py::arg("lateral_width_cm"),
                    py::arg("points") = std::vector<py::tuple>{},
                    "Reads a DICOM dose record or radiograph header: one exposure per event, "
                    "each default named in its assumed list (docs/dose-records.md); points as "
                    "(name, depth_cm[, left_cm, head_cm]). ValueError with the reason.")
        .def(
            "save",
            [](const Study& study, const py::object& path) {
                try {
                    CheckStudy(study);
                } catch (const StudyError& e) {
                    Refuse(e);
                }
                WriteUserFile(PathText(path), StudyFileBytes(study));
            },
            py::arg("path"))
        .def("add_point", &AddPoint, py::arg("name"), py::arg("depth_cm"), py::arg("left_cm") = 0.0,
             py::arg("head_cm") = 0.0, py::arg("depth_uncertainty_cm") = 0.0,
             py::arg("left_uncertainty_cm") = 0.0, py::arg("head_uncertainty_cm") = 0.0)
        .def("add_exposure", &AddExposure, py::arg("conditions"), py::arg("name"),
             py::arg("entry") = "anterior",
             "Adds the beam of the conditions with the exposure's keywords: scatter_model, "
             "angle_deg, centre_left_cm, centre_head_cm, centre_depth_cm, one of air_kerma, "
             "tube_output (with mas, output_distance), kap, esak, reference_air_kerma (with "
             "reference_distance), repeats, table_transmission or table_al_mm, "
             "exposure_uncertainty_pct, hvl1_mm_al. ValueError naming the field.")
        .def_property_readonly("exposure_names", [](const Study& s) { return Names(s.Exposures); })
        .def_property_readonly("point_names", [](const Study& s) { return Names(s.Points); })
        .def("compute", &Compute, py::arg("data") = py::none(),
             "The doses; CalculationError naming the exposure and point that cannot be "
             "computed.")
#ifdef VELTRIM_REPORTS
        .def("report", &Report, py::arg("path"), py::kw_only(), py::arg("physicist") = "",
             py::arg("data") = py::none(), py::arg("patient_id") = "", py::arg("exam") = "",
             py::arg("exam_date") = "",
             "Writes the study's PDF report to path, with the physicist's name as typed; "
             "patient_id, exam and exam_date, when given, replace the study's own.")
#endif
        ;
}

} // namespace veltrim::python
