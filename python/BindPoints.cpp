// veltrim.dose_at and veltrim.dose_map: the dose anywhere in the phantom,
// in per cent of the axis's first layer and, with an exposure, in mGy; the
// same bits as veltrim-calc --point and --map --precise.
#include "engine/BeamPoints.h"
#include "python/Bindings.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <string>
#include <vector>

namespace veltrim::python {
namespace {

// The map of a plane: lateral positions and depths, and the doses on the
// grid [depth][lateral], not a number where the kernels do not reach.
struct DoseMapResult {
    std::string Plane;
    py::array_t<double> Lateral, Depth, Primary, Scatter, Total;
    std::optional<py::array_t<double>> TotalMgy; // with an exposure
};

using Number = std::optional<double>;

// Points computed at once by dose_at: each holds a few kB of ring shares and
// kernel sums while its block is computed.
constexpr py::ssize_t PointBlock = 2048;

LateralAxis PlaneAxis(const std::string& plane) {
    if (plane == "xz" || plane == "yz")
        return plane == "xz" ? LateralAxis::X : LateralAxis::Y;
    throw py::value_error("plane \"" + plane + "\" is not known; use \"xz\" or \"yz\"");
}

// dose_at and dose_map take the same keywords after what they are asked for
// (`where`): those of depth_dose, then the exposure's of absolute_dose.
template <typename Function, typename Where>
void DefineOffAxis(py::module_& m, const char* name, Function function, Where where,
                   const char* doc) {
    m.def(name, function, py::arg("conditions"), where,
          py::arg("scatter_model") = inputs::ScatterModel.Default, py::arg("data") = py::none(),
          py::arg("thickness") = py::none(), py::arg("medium") = inputs::Medium.Default,
          py::arg("air_kerma") = py::none(), py::arg("tube_output") = py::none(),
          py::arg("mas") = py::none(),
          py::arg("output_distance") = *DefaultNumber(inputs::OutputDistance),
          py::arg("kap") = py::none(), py::arg("esak") = py::none(), doc);
}

} // namespace

void BindPointDose(py::module_& m) {
    DefineOffAxis(
        m, "dose_at",
        [](const WindowConditions& c,
           const py::array_t<double, py::array::c_style | py::array::forcecast>& points,
           const std::string& model, const std::optional<std::string>& data,
           std::optional<double> thickness, const std::string& medium, Number airKerma,
           Number tubeOutput, Number mas, double outputDistance, Number kap, Number esak) {
            if (points.ndim() != 2 || points.shape(1) != 3)
                throw py::value_error("points must be an (n, 3) array of x, y and depth in cm");
            CalculationOptions options = DepthDoseOptions(model, thickness, medium);
            options.Given = ExposureOf(airKerma, tubeOutput, mas, outputDistance, kap, esak);
            const auto xyz = points.unchecked<2>();
            const ModelData& folder = DataOf(data);
            const BeamResult beam = Calculate([&] { return CalculateBeam(c, options, folder); });
            // The points a block at a time, into the array returned: the
            // work of a point is held only while its block is computed, and
            // Ctrl-C is heard between blocks.
            std::vector<PhantomPoint> block;
            const auto take = [&](py::ssize_t start) {
                block.clear();
                for (py::ssize_t k = start; k < std::min(xyz.shape(0), start + PointBlock); ++k)
                    block.push_back({xyz(k, 0), xyz(k, 1), xyz(k, 2)});
            };
            const auto heard = [] {
                if (PyErr_CheckSignals() != 0)
                    throw py::error_already_set();
            };
            // Every point is checked before any is computed.
            for (py::ssize_t start = 0; start < xyz.shape(0); start += PointBlock) {
                take(start);
                Calculate([&] {
                    CheckPhantomPoints(beam.Conditions, beam.DepthDose->Rows, block);
                    return 0;
                });
                heard();
            }
            std::optional<BeamPointDoser> doser;
            Calculate([&] { return &doser.emplace(beam, folder); });
            const py::ssize_t columns = options.Given ? 4 : 3;
            py::array_t<double> doses({xyz.shape(0), columns});
            auto out = doses.mutable_unchecked<2>();
            for (py::ssize_t start = 0; start < xyz.shape(0); start += PointBlock) {
                take(start);
                const std::vector<PointDose> computed = Calculate([&] { return (*doser)(block); });
                for (std::size_t n = 0; n < computed.size(); ++n) {
                    const PointDose& p = computed[n];
                    const py::ssize_t k = start + static_cast<py::ssize_t>(n);
                    out(k, 0) = PointPercent(beam, p.Primary);
                    out(k, 1) = PointPercent(beam, p.Scatter);
                    out(k, 2) = PointPercent(beam, p.Primary + p.Scatter);
                    if (options.Given)
                        out(k, 3) = *PointMgy(beam, p.Primary + p.Scatter);
                }
                heard();
            }
            return doses;
        },
        py::arg("points"),
        "The dose at points (an (n, 3) array of x, y and depth, cm; x along the field's first "
        "side) as an (n, 3) array of primary, scatter and total in per cent of the axis's "
        "first-layer total, with a fourth column of the total in mGy when an exposure is given "
        "(the keywords of absolute_dose). Primary only inside the field's projection (a point "
        "focus: no penumbra, no heel effect). Raises CalculationError for a point outside the "
        "phantom, not finite, or beyond the kernels' reach, computing none.");

    py::class_<DoseMapResult>(m, "DoseMap",
                              "The dose over a plane through the axis, in per cent of the axis's "
                              "first-layer total; NaN where the kernels do not reach.")
        .def_readonly("plane", &DoseMapResult::Plane)
        .def_readonly("lateral_cm", &DoseMapResult::Lateral, "x (or y) of each column, cm")
        .def_readonly("depth_cm", &DoseMapResult::Depth, "depth of each row, cm")
        .def_readonly("primary", &DoseMapResult::Primary)
        .def_readonly("scatter", &DoseMapResult::Scatter)
        .def_readonly("total", &DoseMapResult::Total)
        .def_readonly("total_mgy", &DoseMapResult::TotalMgy,
                      "the total in mGy with an exposure, else None");

    DefineOffAxis(
        m, "dose_map",
        [](const WindowConditions& c, const std::string& plane, const std::string& model,
           const std::optional<std::string>& data, std::optional<double> thickness,
           const std::string& medium, Number airKerma, Number tubeOutput, Number mas,
           double outputDistance, Number kap, Number esak) {
            const LateralAxis axis = PlaneAxis(plane);
            CalculationOptions options = DepthDoseOptions(model, thickness, medium);
            options.Given = ExposureOf(airKerma, tubeOutput, mas, outputDistance, kap, esak);
            const ModelData& folder = DataOf(data);
            DoseGrid grid;
            const BeamResult beam = Calculate([&] {
                BeamResult b = CalculateBeam(c, options, folder);
                grid = BeamMap(b, axis, folder);
                return b;
            });
            const int rows = beam.DepthDose->Rows;
            const py::ssize_t columns = 2 * GridHalfCount + 1;
            std::vector<double> lateral, depth;
            for (int k = -GridHalfCount; k <= GridHalfCount; ++k)
                lateral.push_back(GridStep * k);
            for (int d = 1; d <= rows; ++d)
                depth.push_back(LayerMiddle(d));
            DoseMapResult result{plane, Array(lateral), Array(depth), {}, {}, {}, std::nullopt};
            if (options.Given)
                result.TotalMgy.emplace();
            std::vector<py::array_t<double>*> arrays{&result.Primary, &result.Scatter,
                                                     &result.Total};
            if (result.TotalMgy)
                arrays.push_back(&*result.TotalMgy);
            for (py::array_t<double>* array : arrays) {
                *array = py::array_t<double>({py::ssize_t{rows}, columns});
                std::fill_n(array->mutable_data(), array->size(), std::nan(""));
            }
            for (std::size_t k = 0; k < grid.Points.size(); ++k) {
                const MapCell cell = MapCellOf(grid.Points[k], axis);
                const auto row = static_cast<py::ssize_t>(cell.Row);
                const auto column = static_cast<py::ssize_t>(cell.Column);
                const PointDose& dose = grid.Doses[k];
                result.Primary.mutable_at(row, column) = PointPercent(beam, dose.Primary);
                result.Scatter.mutable_at(row, column) = PointPercent(beam, dose.Scatter);
                result.Total.mutable_at(row, column) =
                    PointPercent(beam, dose.Primary + dose.Scatter);
                if (result.TotalMgy)
                    result.TotalMgy->mutable_at(row, column) =
                        *PointMgy(beam, dose.Primary + dose.Scatter);
            }
            return result;
        },
        py::arg("plane") = "xz",
        "The dose over the x-z (\"xz\") or y-z (\"yz\") plane through the axis: every layer "
        "middle to 30 cm, every 0.5 cm from -30 to 30 cm, the same numbers as veltrim-calc --map; "
        "total_mgy too when an exposure is given (the keywords of absolute_dose).");
}

} // namespace veltrim::python
