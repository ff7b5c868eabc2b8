// The calculations of a beam as module functions of a Conditions object:
// each asks CalculateBeam (or MatchBeamHvl1) over the data of its folder and
// gives the result as numpy arrays, a dict of figures or bytes.
#include "core/Inputs.h"
#include "engine/CalculateBeam.h"
#include "files/ResultsFile.h"
#include "python/Bindings.h"

#include <optional>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <string>
#include <vector>

namespace veltrim::python {

double AirPath(double airCm) {
    if (!inputs::AirPath.Allows(airCm))
        throw py::value_error(
            std::string(inputs::AirPath.Keyword) + ": " +
            Message(MessageId::AirPathInvalid, {Arg(airCm)}).In(Language::English));
    return airCm;
}

double MeasuredHvl1(const char* keyword, double mm) {
    if (!inputs::MeasuredHvl1.Allows(mm))
        throw py::value_error(std::string(keyword) + ": " +
                              Message(MessageId::Hvl1NotPositive, {Arg(mm)}).In(Language::English));
    return mm;
}

namespace {

// The data= argument: a data folder, or None for the one the module finds.
using Folder = std::optional<std::string>;

// The spectrum alone, or with its quality at the end of `airCm` of air.
BeamResult SpectrumOf(const IrradiationConditions& c, const ModelData& data, bool quality = false,
                      double airCm = 0.0) {
    CalculationOptions options;
    options.DepthDose = false;
    options.Quality = quality;
    options.AirCm = airCm;
    return CalculateBeam(c, options, data);
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

struct DepthDoseResult {
    py::array_t<double> Depth, Primary, Scatter, Total;
};

// Rows 1..Rows of the table: row 0 holds nothing.
DepthDoseResult DepthDoseTable(const DepthDoseCalculation& calc) {
    std::vector<double> depth, primary, scatter, total;
    for (int r = 1; r <= calc.Rows; ++r) {
        depth.push_back(LayerMiddle(r));
        primary.push_back(calc.Table[r][PrimaryPdd]);
        scatter.push_back(calc.Table[r][ScatterPdd]);
        total.push_back(calc.Table[r][TotalPdd]);
    }
    return DepthDoseResult{Array(depth), Array(primary), Array(scatter), Array(total)};
}

} // namespace

py::array_t<double> Array(const std::vector<double>& values) {
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

CalculationOptions DepthDoseOptions(const std::string& scatterModel,
                                    std::optional<double> thicknessCm, const std::string& medium) {
    CalculationOptions options;
    options.ThicknessCm = thicknessCm;
    if (scatterModel == "classic")
        options.Model = ScatterModel::Classic;
    else if (scatterModel == "divergent")
        options.Model = ScatterModel::Divergent;
    else
        throw std::invalid_argument("scatter_model \"" + scatterModel +
                                    "\" is not known; use \"classic\" or \"divergent\"");
    const std::optional<Medium> phantom = MediumFromKey(medium);
    if (!phantom)
        throw std::invalid_argument("medium \"" + medium +
                                    "\" is not known; use \"icru-4\", \"icru-44\", \"water\" "
                                    "or \"pmma\"");
    options.PhantomMedium = *phantom;
    return options;
}

void BindSpectrum(py::module_& m) {
    m.def(
        "spectrum",
        [](const WindowConditions& c, const Folder& data) {
            const ModelData& d = DataOf(data);
            const BeamResult beam = Calculate([&] { return SpectrumOf(c, d); });
            // Bin 0 (0 keV) carries no photons; bin i holds 0.5 i keV.
            std::vector<double> energies, fractions;
            for (int i = 1; i < EnergyBinCount; ++i) {
                energies.push_back(0.5 * i);
                fractions.push_back(beam.Spectrum.Spectrum[i]);
            }
            return py::make_tuple(Array(energies), Array(fractions));
        },
        py::arg("conditions"), py::arg("data") = py::none(),
        "The filtered photon spectrum: (energies in keV of the bins 0.5..150, photon fraction "
        "per 0.5-keV bin summing to 1).");
}

void BindQuality(py::module_& m) {
    m.def(
        "beam_quality",
        [](const WindowConditions& c, double airCm, const Folder& data) {
            const double air = AirPath(airCm);
            const ModelData& d = DataOf(data);
            const BeamResult beam = Calculate([&] {
                // A missing air table is told as the data file's failure,
                // not as a beam without quality.
                d.Air();
                return SpectrumOf(c, d, true, air);
            });
            if (!beam.Quality)
                throw Failure{"no beam quality can be given: " + beam.QualityProblem};
            return QualityDict(*beam.Quality);
        },
        py::arg("conditions"), py::arg("air_cm") = *DefaultNumber(inputs::AirPath),
        py::arg("data") = py::none(),
        "Mean energy (keV, fluence weighted), HVL1 and HVL2 (mm Al, air-kerma weighted), "
        "homogeneity HVL1/HVL2 and effective energy (keV; None above 150 keV), measured at the "
        "end of air_cm of dry air (the depth dose never includes air).");

    m.def(
        "match_hvl1",
        [](const WindowConditions& c, double hvl1, const std::string& filter, double airCm,
           const Folder& data) {
            if (filter != "al" && filter != "cu")
                throw py::value_error("filter must be \"al\" or \"cu\"");
            const MatchFilter added = filter == "al" ? MatchFilter::Aluminium : MatchFilter::Copper;
            MeasuredHvl1(inputs::MeasuredHvl1.Keyword, hvl1);
            AirPath(airCm);
            const ModelData& d = DataOf(data);
            const Hvl1Match match =
                Calculate([&] { return MatchBeamHvl1(c, hvl1, added, airCm, d); });
            // The thickness found typed into its field, as the window and
            // veltrim-calc take it, so that the conditions saved read back
            // to the same beam.
            return py::make_tuple(match.AddedMm,
                                  WithTypedFilter(c,
                                                  added == MatchFilter::Aluminium
                                                      ? &ConditionTexts::AlFilter
                                                      : &ConditionTexts::CuFilter,
                                                  AddedFilterText(match)),
                                  QualityDict(match.Quality));
        },
        py::arg("conditions"), py::arg("hvl1_mm_al"),
        py::arg("filter") = inputs::MatchFilter.Default,
        py::arg("air_cm") = *DefaultNumber(inputs::AirPath), py::arg("data") = py::none(),
        "The added aluminium (filter=\"al\") or copper (\"cu\") in mm, in place of the given one, "
        "that gives the measured first half-value layer (mm Al) within 0.001 mm: returns (mm, "
        "the conditions with it, their beam quality). Raises CalculationError, with the "
        "reachable range, when it cannot be reached.");
}

void BindDepthDose(py::module_& m) {
    py::class_<DepthDoseResult>(m, "DepthDose", "A depth-dose table, in per cent of row 1's total.")
        .def_readonly("depth_cm", &DepthDoseResult::Depth, "middle of each 0.5-cm layer, cm")
        .def_readonly("primary", &DepthDoseResult::Primary, "primary PDD, %")
        .def_readonly("scatter", &DepthDoseResult::Scatter, "scatter PDD, %")
        .def_readonly("total", &DepthDoseResult::Total, "total PDD, %");

    m.def(
        "depth_dose",
        [](const WindowConditions& c, const std::string& model, const Folder& data,
           std::optional<double> thickness, const std::string& medium) {
            const ModelData& d = DataOf(data);
            const CalculationOptions options = DepthDoseOptions(model, thickness, medium);
            const BeamResult beam = Calculate([&] { return CalculateBeam(c, options, d); });
            return DepthDoseTable(*beam.DepthDose);
        },
        py::arg("conditions"), py::arg("scatter_model") = inputs::ScatterModel.Default,
        py::arg("data") = py::none(), py::arg("thickness") = py::none(),
        py::arg("medium") = inputs::Medium.Default,
        "Percentage depth dose in 0.5-cm layers to 30 cm (to the exit face of a phantom "
        "`thickness` cm thick, as veltrim-calc --thickness): depth_cm (layer middles), primary, "
        "scatter and total in per cent of the total dose of the first layer; the same bits as "
        "veltrim-calc --precise. scatter_model \"divergent\" takes the scatter kernels of a point "
        "focus at the FSD (50 cm and above), as veltrim-calc --scatter-model divergent. medium is "
        "the phantom's material, \"icru-4\" (ICRU four-component soft tissue), \"icru-44\", "
        "\"water\" or \"pmma\", as veltrim-calc --medium; depths are in cm of it. Raises "
        "CalculationError with the program's message.");

    m.def(
        "results_file",
        [](const WindowConditions& c, const Folder& data, const std::string& model,
           std::optional<double> thickness, const std::string& medium) {
            const ModelData& d = DataOf(data);
            const CalculationOptions options = DepthDoseOptions(model, thickness, medium);
            return py::bytes(
                Calculate([&] { return ResultsFileBytes(CalculateBeam(c, options, d)); }));
        },
        py::arg("conditions"), py::arg("data") = py::none(),
        py::arg("scatter_model") = inputs::ScatterModel.Default, py::arg("thickness") = py::none(),
        py::arg("medium") = inputs::Medium.Default,
        "The bytes of the results file PDD_tempDATA.txt for the conditions (Shift_JIS labels, "
        "CR LF); a divergent calculation adds the line that says so, another medium than "
        "icru-4 the line that names it.");
}

} // namespace veltrim::python
