// veltrim.absolute_dose: the dose of every layer in mGy for an exposure given
// one of four ways, or per unit incident air kerma Ka,i without one; the
// same bits as veltrim-calc --dose --precise.
#include "engine/CalculateBeam.h"
#include "python/Bindings.h"

#include <optional>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <string>
#include <utility>
#include <vector>

namespace veltrim::python {
namespace {

using Number = std::optional<double>;

// The calculated dose; every dose it gives is in mGy with an exposure, per
// unit Ka,i without.
struct DoseResult {
    std::shared_ptr<const AbsoluteDose> Dose;
    std::string Model;
    Medium PhantomMedium = Medium::IcruFourComponent;
    Number ThicknessCm;
    Number ExitSurface; // per unit Ka,i
    py::array_t<double> Depth, Primary, Scatter, Total;

    double InUnit(double perKerma) const { return Dose->Given ? Dose->Mgy(perKerma) : perKerma; }
    Number WithExposure(double mgy) const { return Dose->Given ? Number(mgy) : std::nullopt; }
};

// As veltrim-calc names the way: its option without the dashes.
const char* WayOf(const std::optional<Exposure>& given) {
    return given ? ExposureWay(given->Kind) : nullptr;
}

} // namespace

std::optional<Exposure> ExposureOf(Number airKerma, Number tubeOutput, Number mas,
                                   double outputDistance, Number kap, Number esak) {
    const ExposureParts parts{airKerma, tubeOutput, mas, outputDistance, kap, esak};
    if (parts.StrayTubeOutputParts() && mas)
        throw py::value_error("mas goes with tube_output only");
    try {
        return veltrim::ExposureOf(parts);
    } catch (const CalculationError& e) {
        throw Failure{e.what()};
    }
}

void BindAbsoluteDose(py::module_& m) {
    py::class_<DoseResult>(m, "AbsoluteDose",
                           "The dose of every 0.5-cm layer, in mGy for the exposure given, or "
                           "per unit incident air kerma Ka,i when none was.")
        .def_readonly("depth_cm", &DoseResult::Depth, "middle of each 0.5-cm layer, cm")
        .def_readonly("primary", &DoseResult::Primary, "primary dose")
        .def_readonly("scatter", &DoseResult::Scatter, "scatter dose")
        .def_readonly("total", &DoseResult::Total, "total dose")
        .def_property_readonly(
            "incident_air_kerma_mGy",
            [](const DoseResult& r) { return r.WithExposure(r.Dose->IncidentAirKermaMgy); },
            "Ka,i, mGy (None without an exposure)")
        .def_property_readonly(
            "backscatter_factor", [](const DoseResult& r) { return r.Dose->PerKerma.Backscatter; },
            "B = Ka,e / Ka,i")
        .def_property_readonly(
            "entrance_surface_air_kerma_mGy",
            [](const DoseResult& r) {
                return r.WithExposure(r.Dose->EntranceSurfaceAirKermaMgy());
            },
            "Ka,e = B Ka,i, mGy (None without an exposure)")
        .def_property_readonly(
            "surface_dose_mGy",
            [](const DoseResult& r) { return r.InUnit(r.Dose->PerKerma.Surface); },
            "the dose at the surface, in the unit of the arrays")
        .def_property_readonly(
            "medium",
            [](const DoseResult& r) {
                return Message(MediumName(r.PhantomMedium)).In(Language::English);
            })
        .def_readonly("scatter_model", &DoseResult::Model)
        .def_readonly("thickness_cm", &DoseResult::ThicknessCm,
                      "the phantom's thickness, cm (None: the thick phantom)")
        .def_property_readonly(
            "exit_surface_dose_mGy",
            [](const DoseResult& r) {
                return r.ExitSurface ? Number(r.InUnit(*r.ExitSurface)) : std::nullopt;
            },
            "the dose at the exit face of a finite phantom the table reaches, in the unit of the "
            "arrays (None otherwise)")
        .def_property_readonly(
            "exposure", [](const DoseResult& r) { return WayOf(r.Dose->Given); },
            "how the exposure was given: \"air-kerma\", \"tube-output\", \"kap\", \"esak\" or None")
        .def(
            "at",
            [](const DoseResult& r, double z) {
                return r.InUnit(Calculate([&] { return DoseAtDepth(r.Dose->PerKerma, z); }));
            },
            py::arg("depth_cm"),
            "The total dose at a depth from 0 to 30 cm, interpolated between the surface and the "
            "layer middles.")
        .def(
            "over",
            [](const DoseResult& r, double z1, double z2) {
                const auto [least, most] =
                    Calculate([&] { return DoseOverDepths(r.Dose->PerKerma, z1, z2); });
                return py::make_tuple(r.InUnit(least), r.InUnit(most));
            },
            py::arg("from_cm"), py::arg("to_cm"),
            "(least, most) of the total dose over the depths from_cm..to_cm.");

    m.def(
        "absolute_dose",
        [](const WindowConditions& c, Number airKerma, Number tubeOutput, Number mas,
           double outputDistance, Number kap, Number esak, const std::string& model,
           const std::optional<std::string>& data, Number thickness, const std::string& medium) {
            CalculationOptions options = DepthDoseOptions(model, thickness, medium);
            options.Absolute = true;
            options.Given = ExposureOf(airKerma, tubeOutput, mas, outputDistance, kap, esak);
            const ModelData& folder = DataOf(data);
            BeamResult beam = Calculate([&] { return CalculateBeam(c, options, folder); });
            DoseResult result;
            result.ThicknessCm = thickness;
            if (const std::optional<ExitDose> exit = BeamExitDose(beam))
                result.ExitSurface = exit->SurfacePerKerma;
            result.Dose = std::move(beam.Absolute);
            result.Model = model;
            result.PhantomMedium = options.PhantomMedium;
            const DosePerAirKerma& perKerma = result.Dose->PerKerma;
            std::vector<double> depth, primary, scatter, total;
            for (int d = 1; d <= perKerma.Rows; ++d) {
                depth.push_back(LayerMiddle(d));
                primary.push_back(result.InUnit(perKerma.Primary[d]));
                scatter.push_back(result.InUnit(perKerma.Scatter[d]));
                total.push_back(result.InUnit(perKerma.Total[d]));
            }
            result.Depth = Array(depth);
            result.Primary = Array(primary);
            result.Scatter = Array(scatter);
            result.Total = Array(total);
            return result;
        },
        py::arg("conditions"), py::arg("air_kerma") = py::none(),
        py::arg("tube_output") = py::none(), py::arg("mas") = py::none(),
        py::arg("output_distance") = *DefaultNumber(inputs::OutputDistance),
        py::arg("kap") = py::none(), py::arg("esak") = py::none(),
        py::arg("scatter_model") = inputs::ScatterModel.Default, py::arg("data") = py::none(),
        py::arg("thickness") = py::none(), py::arg("medium") = inputs::Medium.Default,
        "The dose of every 0.5-cm layer to 30 cm of the phantom's medium (icru-4, ICRU "
        "four-component soft tissue, unless medium names another as depth_dose does), in mGy for "
        "an exposure given one way: air_kerma (incident air kerma Ka,i, mGy), tube_output "
        "(uGy/mAs at output_distance cm) with mas, kap (kerma-area product, Gy cm2) or esak "
        "(measured entrance surface air kerma, mGy); without one, per unit Ka,i. The same bits "
        "as veltrim-calc --dose --precise. Raises CalculationError with the program's message.");
}

} // namespace veltrim::python
