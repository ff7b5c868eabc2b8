// veltrim.report: the PDF report of a beam, as veltrim-calc --report writes
// it, in English or Japanese.
#include "engine/DataLocation.h"
#include "python/Bindings.h"
#include "report/ReportContent.h"
#include "report/ReportLoader.h"

#include <pybind11/stl.h>

namespace veltrim::python {

void BindReport(py::module_& m) {
    using Number = std::optional<double>;
    m.def(
        "report",
        [](const WindowConditions& c, const py::object& path, Number airKerma, Number tubeOutput,
           Number mas, double outputDistance, Number kap, Number esak, Number doseAt, Number doseTo,
           double airCm, const std::string& model, const std::string& language,
           const std::optional<std::string>& data, Number thickness, const std::string& medium,
           const std::vector<std::array<double, 3>>& points, const std::string& patientId,
           const std::string& exam, const std::string& examDate, const std::string& physicist) {
            if (language != "en" && language != "ja")
                throw py::value_error("language takes \"en\" or \"ja\", not \"" + language + "\"");
            if (doseTo && !doseAt)
                throw py::value_error("dose_to goes with dose_at, the start of the range");
            CalculationOptions options = DepthDoseOptions(model, thickness, medium);
            options.Quality = true;
            options.AirCm = AirPath(airCm);
            options.Absolute = true;
            options.Given = ExposureOf(airKerma, tubeOutput, mas, outputDistance, kap, esak);
            const std::string file = PathText(path);
            const ModelData& folder = DataOf(data);
            ReportRequest request;
            request.Edition = language == "ja" ? Language::Japanese : Language::English;
            request.Typed = c.Typed;
            request.Header = {patientId, exam, examDate, physicist, ReportTimeNow(), {}};
            request.AirCm = airCm;
            request.DoseFromCm = doseAt;
            request.DoseToCm = doseTo;
            for (const auto& [x, y, depth] : points)
                request.Points.push_back({x, y, depth});
            options.Points = request.Points;
            const ReportContent report = Calculate([&] {
                request.Header.DataIdentity = DataIdentity(folder.Folder());
                return ReportOf(CalculateBeam(c, options, folder), request);
            });
            // With the interpreter lock held, so that one thread alone loads
            // the report and makes the application object Qt takes its fonts
            // from.
            WriteUserFile(file, LoadedReportPdf(report));
        },
        py::arg("conditions"), py::arg("path"), py::kw_only(), py::arg("air_kerma") = py::none(),
        py::arg("tube_output") = py::none(), py::arg("mas") = py::none(),
        py::arg("output_distance") = *DefaultNumber(inputs::OutputDistance),
        py::arg("kap") = py::none(), py::arg("esak") = py::none(), py::arg("dose_at") = py::none(),
        py::arg("dose_to") = py::none(), py::arg("air_cm") = *DefaultNumber(inputs::AirPath),
        py::arg("scatter_model") = inputs::ScatterModel.Default, py::arg("language") = "en",
        py::arg("data") = py::none(), py::arg("thickness") = py::none(),
        py::arg("medium") = inputs::Medium.Default,
        py::arg("points") = std::vector<std::array<double, 3>>{}, py::arg("patient_id") = "",
        py::arg("exam") = "", py::arg("exam_date") = "", py::arg("physicist") = "",
        "Writes a PDF report of the beam to path: the conditions, the beam quality (behind air_cm "
        "of air), the exposure and doses (as absolute_dose takes them; dose_at, and dose_to for a "
        "range, add the dose there; points, (x, y, depth) in cm, the dose at each), the depth-dose "
        "table, the depth dose and the spectrum, and "
        "the model's validated accuracy; thickness and medium as depth_dose takes them; language "
        "\"en\" or \"ja\"; patient_id, exam, exam_date and physicist head the report (a blank one "
        "is "
        "left out, a blank physicist leaves a line to sign on). The figures have the digits "
        "veltrim-calc prints. Raises CalculationError, ValueError for a name held by anything "
        "but a regular file, OSError when it cannot be written.");
}

} // namespace veltrim::python
