// The Python module `veltrim`: the computation library's steps as functions
// of a conditions object, returning numpy arrays. Each calculation gives the
// bits of veltrim-calc --precise for the same conditions: it calls the same
// pure functions in the same order, over data read once per data folder.
#include "calculation/CalculateBeam.h"
#include "core/CalculationError.h"
#include "core/Conditions.h"
#include "core/DataFile.h"
#include "core/ModelConstants.h"
#include "python/ModuleData.h"

#include <memory>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <string>

namespace py = pybind11;
using namespace veltrim;
using veltrim::python::DataOf;
using veltrim::python::Failure;

namespace {

py::object& ErrorType() {
    static py::object type;
    return type;
}

// Runs a calculation without the interpreter lock, turning the library's
// failures into Failure.
template <typename Step> auto Calculate(Step step) {
    try {
        py::gil_scoped_release unlocked;
        return step();
    } catch (const CalculationError& e) {
        throw Failure{e.what()};
    } catch (const DataFileError& e) {
        throw Failure{e.what()};
    }
}

RectificationMethod Rectification(const py::object& value) {
    if (py::isinstance<py::str>(value)) {
        const std::string name = value.cast<std::string>();
        if (name == "constant-potential")
            return RectificationMethod::ConstantPotential;
        if (name == "three-phase-12-peak")
            return RectificationMethod::ThreePhase12Peak;
        if (name == "single-phase-full-wave")
            return RectificationMethod::SinglePhaseFullWave;
        throw py::value_error("rectification \"" + name +
                              "\" is none of constant-potential, three-phase-12-peak, "
                              "single-phase-full-wave");
    }
    const int method = value.cast<int>();
    if (method < 1 || method > 3)
        throw py::value_error("rectification " + std::to_string(method) + " is not 1, 2 or 3");
    return static_cast<RectificationMethod>(method);
}

// Thicknesses are given in mm and held in cm, converted as the window's
// reading converts them.
IrradiationConditions MakeConditions(double kv, double angle, double inherent, double al, double cu,
                                     double fsd, double fieldX, double fieldY,
                                     const py::object& rectification) {
    IrradiationConditions c;
    c.TubeVoltage = kv;
    c.TargetAngle = angle;
    c.InherentFiltration = CmFromMm(inherent);
    c.AlFilter = CmFromMm(al);
    c.CuFilter = CmFromMm(cu);
    c.Fsd = fsd;
    c.FieldX = fieldX;
    c.FieldY = fieldY;
    c.Rectification = Rectification(rectification);
    return c;
}

// The spectrum alone, or with its quality at the end of `airCm` of air.
BeamResult SpectrumOf(const IrradiationConditions& c, const ModelData& data, bool quality = false,
                      double airCm = 0.0) {
    CalculationOptions options;
    options.DepthDose = false;
    options.Quality = quality;
    options.AirCm = airCm;
    return CalculateBeam(c, options, data);
}

struct DepthDoseResult {
    py::array_t<double> Depth, Primary, Scatter, Total;
    int Rows = 0;
};

py::array_t<double> Array(const std::vector<double>& values) {
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

ScatterModel ModelNamed(const std::string& name) {
    if (name == "classic")
        return ScatterModel::Classic;
    if (name == "divergent")
        return ScatterModel::Divergent;
    throw std::invalid_argument("scatter_model \"" + name +
                                "\" is not known; use \"classic\" or \"divergent\"");
}

std::unique_ptr<BeamResult> ComputeDepthDose(const IrradiationConditions& c, const ModelData& data,
                                             ScatterModel model) {
    CalculationOptions options;
    options.Model = model;
    return std::make_unique<BeamResult>(CalculateBeam(c, options, data));
}

py::dict QualityDict(const BeamQuality& q) {
    py::dict d;
    d["mean_energy_keV"] = q.MeanEnergyKeV;
    d["hvl1_mm_al"] = q.Hvl1MmAl;
    d["hvl2_mm_al"] = q.Hvl2MmAl;
    d["homogeneity"] = q.Homogeneity;
    d["effective_energy_keV"] =
        q.EffectiveEnergyKeV ? py::object(py::float_(*q.EffectiveEnergyKeV)) : py::none();
    return d;
}

} // namespace

// A field of the conditions as a property in the window's units: the record
// holds thicknesses in cm, read and written in mm as the window converts them.
void Property(py::class_<IrradiationConditions>& conditions, const char* name,
              double IrradiationConditions::*field, double toWindow, double fromWindow) {
    conditions.def_property(
        name, [field, toWindow](const IrradiationConditions& c) { return c.*field * toWindow; },
        [field, fromWindow](IrradiationConditions& c, double v) { c.*field = v * fromWindow; });
}

PYBIND11_MODULE(veltrim, m) {
    m.doc() = "Percentage depth dose of diagnostic X-ray beams (30-150 kV) in ICRU soft tissue, "
              "from the surface to 30 cm in 0.5-cm layers, split into primary and scatter.";
    ErrorType() = py::reinterpret_borrow<py::object>(
        PyErr_NewException("veltrim.CalculationError", PyExc_ValueError, nullptr));
    m.attr("CalculationError") = ErrorType();
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const Failure& e) {
            PyErr_SetString(ErrorType().ptr(), e.Text.c_str());
        }
    });

    py::class_<IrradiationConditions> conditions(
        m, "Conditions", "The irradiation conditions, in the window's units.");
    conditions
        .def(py::init(&MakeConditions), py::arg("kv") = 80.0, py::arg("angle") = 12.0,
             py::arg("inherent") = 2.5, py::arg("al") = 0.0, py::arg("cu") = 0.0,
             py::arg("fsd") = 100.0, py::arg("field_x") = 30.0, py::arg("field_y") = 30.0,
             py::arg("rectification") = py::int_(1),
             "kv: tube voltage (kV); angle: target angle (degrees); inherent, al, cu: "
             "inherent filtration (mm Al) and added aluminium and copper (mm); fsd: focus to "
             "surface (cm); field_x, field_y: field at the FSD (cm), field_y 0 for a circle of "
             "diameter field_x; rectification: 1 constant-potential, 2 three-phase-12-peak, "
             "3 single-phase-full-wave (or those names).")
        .def_static(
            "from_texts",
            [](const std::string& kv, const std::string& angle, const std::string& inherent,
               const std::string& al, const std::string& cu, const std::string& fsd,
               const std::string& fieldX, const std::string& fieldY,
               const py::object& rectification) {
                const ConditionTexts texts{kv, angle, inherent, al, cu, fsd, fieldX, fieldY};
                IrradiationConditions c;
                ReadConditions(texts, c);
                c.Rectification = Rectification(rectification);
                return c;
            },
            py::arg("kv") = "80", py::arg("angle") = "12", py::arg("inherent") = "2.5",
            py::arg("al") = "0", py::arg("cu") = "0", py::arg("fsd") = "100",
            py::arg("field_x") = "30", py::arg("field_y") = "30",
            py::arg("rectification") = py::int_(1),
            "The conditions read from texts as the window reads its fields: the leading number "
            "of each text (\"80 kV\" is 80, no number is 0), the tube voltage held to 30-150 kV.")
        .def_property(
            "rectification",
            [](const IrradiationConditions& c) { return static_cast<int>(c.Rectification); },
            [](IrradiationConditions& c, const py::object& v) {
                c.Rectification = Rectification(v);
            })
        .def("__repr__", [](const IrradiationConditions& c) {
            return "veltrim.Conditions(kv=" +
                   py::repr(py::float_(c.TubeVoltage)).cast<std::string>() +
                   ", angle=" + py::repr(py::float_(c.TargetAngle)).cast<std::string>() +
                   ", inherent=" +
                   py::repr(py::float_(c.InherentFiltration * 10)).cast<std::string>() +
                   ", al=" + py::repr(py::float_(c.AlFilter * 10)).cast<std::string>() +
                   ", cu=" + py::repr(py::float_(c.CuFilter * 10)).cast<std::string>() +
                   ", fsd=" + py::repr(py::float_(c.Fsd)).cast<std::string>() +
                   ", field_x=" + py::repr(py::float_(c.FieldX)).cast<std::string>() +
                   ", field_y=" + py::repr(py::float_(c.FieldY)).cast<std::string>() +
                   ", rectification=" + std::to_string(static_cast<int>(c.Rectification)) + ")";
        });

    Property(conditions, "kv", &IrradiationConditions::TubeVoltage, 1.0, 1.0);
    Property(conditions, "angle", &IrradiationConditions::TargetAngle, 1.0, 1.0);
    Property(conditions, "inherent", &IrradiationConditions::InherentFiltration, 10.0, 0.1);
    Property(conditions, "al", &IrradiationConditions::AlFilter, 10.0, 0.1);
    Property(conditions, "cu", &IrradiationConditions::CuFilter, 10.0, 0.1);
    Property(conditions, "fsd", &IrradiationConditions::Fsd, 1.0, 1.0);
    Property(conditions, "field_x", &IrradiationConditions::FieldX, 1.0, 1.0);
    Property(conditions, "field_y", &IrradiationConditions::FieldY, 1.0, 1.0);

    py::class_<DepthDoseResult>(m, "DepthDose", "A depth-dose table, in per cent of row 1's total.")
        .def_readonly("depth_cm", &DepthDoseResult::Depth, "middle of each 0.5-cm layer, cm")
        .def_readonly("primary", &DepthDoseResult::Primary, "primary PDD, %")
        .def_readonly("scatter", &DepthDoseResult::Scatter, "scatter PDD, %")
        .def_readonly("total", &DepthDoseResult::Total, "total PDD, %");

    m.def(
        "spectrum",
        [](const IrradiationConditions& c, const std::optional<std::string>& data) {
            const ModelData& d = DataOf(data);
            const BeamResult beam = Calculate([&] { return SpectrumOf(c, d); });
            const EnergyTable& s = beam.Spectrum.Spectrum;
            std::vector<double> energies, fractions;
            for (int i = 1; i <= 300; ++i) {
                energies.push_back(0.5 * i);
                fractions.push_back(s[i]);
            }
            return py::make_tuple(Array(energies), Array(fractions));
        },
        py::arg("conditions"), py::arg("data") = py::none(),
        "The filtered photon spectrum: (energies in keV of the bins 0.5..150, photon fraction "
        "per 0.5-keV bin summing to 1).");

    m.def(
        "beam_quality",
        [](const IrradiationConditions& c, double airCm, const std::optional<std::string>& data) {
            const ModelData& d = DataOf(data);
            const BeamResult beam = Calculate([&] {
                d.Air();
                return SpectrumOf(c, d, true, airCm);
            });
            if (!beam.Quality)
                throw Failure{"no beam quality can be given: " + beam.QualityProblem};
            return QualityDict(*beam.Quality);
        },
        py::arg("conditions"), py::arg("air_cm") = 0.0, py::arg("data") = py::none(),
        "Mean energy (keV, fluence weighted), HVL1 and HVL2 (mm Al, air-kerma weighted), "
        "homogeneity HVL1/HVL2 and effective energy (keV; None above 150 keV), measured at the "
        "end of air_cm of dry air (the depth dose never includes air).");

    m.def(
        "depth_dose",
        [](const IrradiationConditions& c, const std::string& model,
           const std::optional<std::string>& data) {
            const ModelData& d = DataOf(data);
            const ScatterModel scatterModel = ModelNamed(model);
            const auto computed = Calculate([&] { return ComputeDepthDose(c, d, scatterModel); });
            const DepthDoseCalculation& calc = *computed->DepthDose;
            std::vector<double> depth, primary, scatter, total;
            for (int r = 1; r <= calc.Rows; ++r) {
                depth.push_back(LayerMiddle(r));
                primary.push_back(calc.Table[r][PrimaryPdd]);
                scatter.push_back(calc.Table[r][ScatterPdd]);
                total.push_back(calc.Table[r][TotalPdd]);
            }
            return DepthDoseResult{Array(depth), Array(primary), Array(scatter), Array(total),
                                   calc.Rows};
        },
        py::arg("conditions"), py::arg("scatter_model") = "classic", py::arg("data") = py::none(),
        "Percentage depth dose in 0.5-cm layers to 30 cm: depth_cm (layer middles), primary, "
        "scatter and total in per cent of the total dose of the first layer; the same bits as "
        "veltrim-calc --precise. scatter_model \"divergent\" takes the scatter kernels of a point "
        "focus at the FSD (50 cm and above), as veltrim-calc --scatter-model divergent. Raises "
        "CalculationError with the program's message.");

    m.def(
        "results_file",
        [](const IrradiationConditions& c, const std::optional<std::string>& data,
           const std::string& model) {
            const ModelData& d = DataOf(data);
            const ScatterModel scatter = ModelNamed(model);
            const std::string bytes =
                Calculate([&] { return ResultsFileBytes(*ComputeDepthDose(c, d, scatter)); });
            return py::bytes(bytes);
        },
        py::arg("conditions"), py::arg("data") = py::none(), py::arg("scatter_model") = "classic",
        "The bytes of the results file PDD_tempDATA.txt for the conditions (Shift_JIS labels, "
        "CR LF); a divergent calculation adds the line that says so.");

    m.def(
        "match_hvl1",
        [](const IrradiationConditions& c, double hvl1, const std::string& filter, double airCm,
           const std::optional<std::string>& data) {
            if (filter != "al" && filter != "cu")
                throw py::value_error("filter must be \"al\" or \"cu\"");
            const ModelData& d = DataOf(data);
            const Hvl1Match match = Calculate([&] {
                return MatchBeamHvl1(c, hvl1,
                                     filter == "al" ? MatchFilter::Aluminium : MatchFilter::Copper,
                                     airCm, d);
            });
            return py::make_tuple(match.AddedMm, match.Conditions, QualityDict(match.Quality));
        },
        py::arg("conditions"), py::arg("hvl1_mm_al"), py::arg("filter") = "al",
        py::arg("air_cm") = 0.0, py::arg("data") = py::none(),
        "The added aluminium (filter=\"al\") or copper (\"cu\") in mm, in place of the given one, "
        "that gives the measured first half-value layer (mm Al) within 0.001 mm: returns (mm, "
        "the conditions with it, their beam quality). Raises CalculationError, with the "
        "reachable range, when it cannot be reached.");
}
