// veltrim.Beam: a saved beam, everything a calculation's numbers depend on
// (the conditions as given, the scatter model, the medium, the thickness,
// the exposure as given, the air path), in the file the window's "Save
// beam..." and veltrim-calc --save-beam write; with Conditions.load and
// Conditions.save, which keep to the conditions.
#include "core/CFormat.h"
#include "files/BeamFile.h"
#include "files/ExposureKeys.h"
#include "python/Bindings.h"

#include <bit>
#include <cstdint>
#include <filesystem>
#include <pybind11/stl.h>
#include <string>

namespace veltrim::python {
namespace {

using Number = std::optional<double>;

struct PythonBeam {
    std::optional<std::string> Name; // none: the file's name without its extension
    WindowConditions Conditions;
    // What the beam holds beyond its conditions (Texts and Rectification
    // are taken from Conditions when it is saved).
    SavedBeam Extras;
};

PythonBeam MakeBeam(const WindowConditions& c, const std::optional<std::string>& name,
                    const std::string& model, const std::string& medium, Number thickness,
                    Number airCm, Number hvl1, Number airKerma, Number tubeOutput, Number mas,
                    Number outputDistance, Number kap, Number esak) {
    PythonBeam beam{name, c, {}};
    SavedBeam& extras = beam.Extras;
    const CalculationOptions options = DepthDoseOptions(model, thickness, medium);
    extras.DivergentScatter = options.Model == ScatterModel::Divergent;
    extras.PhantomMedium = options.PhantomMedium;
    extras.ThicknessCm = thickness;
    if (airCm)
        AirPath(*airCm);
    extras.AirCm = airCm;
    if (hvl1)
        MeasuredHvl1("measured_hvl1", *hvl1);
    extras.MeasuredHvl1MmAl = hvl1;
    ExposureParts parts{airKerma, tubeOutput, mas, outputDistance, kap, esak};
    if (tubeOutput) {
        // A tube output is the tube's; with an mAs it makes the exposure too.
        if (!mas && !(*tubeOutput > 0.0 && outputDistance.value_or(1.0) > 0.0))
            throw py::value_error("tube_output and output_distance without mas are the tube's "
                                  "and positive");
        extras.TubeOutputUgyPerMas = tubeOutput;
        extras.OutputDistanceCm = outputDistance;
        if (!mas)
            parts.TubeOutput = parts.OutputDistanceCm = std::nullopt;
    }
    if (parts.StrayTubeOutputParts())
        throw py::value_error("mas and output_distance go with tube_output");
    try {
        veltrim::ExposureOf(parts);
    } catch (const CalculationError& e) {
        throw py::value_error(e.what());
    }
    extras.Exposure = parts;
    return beam;
}

void SaveBeam(const PythonBeam& beam, const py::object& path) {
    const std::string file = PathText(path);
    SavedBeam saved = beam.Extras;
    saved.Name = beam.Name ? *beam.Name : std::filesystem::path(file).stem().string();
    saved.Texts = beam.Conditions.Typed;
    saved.Rectification = beam.Conditions.Rectification;
    // The window and veltrim-calc read the texts back: each must give the
    // record's own bits, or the beam opened would compute other numbers.
    WindowConditions read = ConditionsOfTexts(saved.Texts, saved.Rectification);
    for (std::size_t i = 0; i < std::size(ConditionTextFields); ++i) {
        const double held = read.Given[i], given = beam.Conditions.Given[i];
        if (std::bit_cast<std::uint64_t>(held) != std::bit_cast<std::uint64_t>(given))
            throw py::value_error(std::string(ConditionTextFields[i].Name) + " " +
                                  py::repr(py::float_(given)).cast<std::string>() +
                                  " cannot be saved: a beam file is read as the window reads "
                                  "its fields, which gives " +
                                  py::repr(py::float_(held)).cast<std::string>());
    }
    std::string bytes;
    try {
        bytes = BeamFileBytes(saved);
    } catch (const BeamFileError& e) {
        throw py::value_error(e.what());
    }
    WriteUserFile(file, bytes);
}

PythonBeam LoadBeam(const py::object& path) {
    SavedBeam saved;
    try {
        saved = ReadBeamFile(PathText(path));
    } catch (const BeamFileError& e) {
        throw py::value_error(e.what());
    }
    return PythonBeam{saved.Name, ConditionsOfTexts(saved.Texts, saved.Rectification), saved};
}

py::dict ExposureDict(const ExposureParts& parts) {
    py::dict given;
    for (const ExposureKey& k : ExposureKeys)
        if (const Number& value = parts.*k.Part)
            given[k.Keyword] = *value;
    return given;
}

// What Conditions.load leaves behind, named for its warning.
std::string LeftBehind(const SavedBeam& beam) {
    std::string left;
    const auto add = [&left](bool held, const char* what) {
        if (held)
            left += (left.empty() ? "" : ", ") + std::string(what);
    };
    add(beam.DivergentScatter, "the divergent scatter model");
    add(beam.PhantomMedium != Medium::IcruFourComponent, "the medium");
    add(beam.ThicknessCm.has_value(), "the thickness");
    add(!ExposureDict(beam.Exposure).empty(), "the exposure");
    add(beam.AirCm.has_value(), "the air path");
    return left;
}

} // namespace

void BindBeamFile(py::module_& m, py::class_<WindowConditions>& conditions) {
    using Beam = PythonBeam;
    py::class_<Beam>(m, "Beam",
                     "A saved beam: the conditions and everything else a calculation's numbers "
                     "depend on, as the window's \"Save beam...\" and veltrim-calc --save-beam "
                     "write it.")
        .def(py::init(&MakeBeam), py::arg("conditions"), py::kw_only(),
             py::arg("name") = py::none(), py::arg("scatter_model") = inputs::ScatterModel.Default,
             py::arg("medium") = inputs::Medium.Default, py::arg("thickness") = py::none(),
             py::arg("air_cm") = py::none(), py::arg("measured_hvl1") = py::none(),
             py::arg("air_kerma") = py::none(), py::arg("tube_output") = py::none(),
             py::arg("mas") = py::none(), py::arg("output_distance") = py::none(),
             py::arg("kap") = py::none(), py::arg("esak") = py::none(),
             "The keywords of absolute_dose and report; a tube_output without mas is the tube's "
             "output, kept for a later mAs, and makes no exposure.")
        .def_static("load", &LoadBeam, py::arg("path"),
                    "The beam of a file. ValueError when it is of a later format, damaged or "
                    "not a regular file.")
        .def("save", &SaveBeam, py::arg("path"),
             "Writes the beam; its conditions as they were given, each a text the window reads "
             "back to the same number (ValueError for one it cannot, such as a tube voltage "
             "outside 30-150 kV or a NaN).")
        .def_readwrite("name", &Beam::Name)
        .def_readwrite("conditions", &Beam::Conditions)
        .def_property_readonly(
            "scatter_model",
            [](const Beam& b) { return b.Extras.DivergentScatter ? "divergent" : "classic"; })
        .def_property_readonly("medium",
                               [](const Beam& b) { return MediumKey(b.Extras.PhantomMedium); })
        .def_property_readonly("thickness", [](const Beam& b) { return b.Extras.ThicknessCm; })
        .def_property_readonly("air_cm", [](const Beam& b) { return b.Extras.AirCm; })
        .def_property_readonly("measured_hvl1",
                               [](const Beam& b) { return b.Extras.MeasuredHvl1MmAl; })
        .def_property_readonly("tube_output",
                               [](const Beam& b) { return b.Extras.TubeOutputUgyPerMas; })
        .def_property_readonly("output_distance",
                               [](const Beam& b) { return b.Extras.OutputDistanceCm; })
        .def_property_readonly(
            "exposure", [](const Beam& b) { return ExposureDict(b.Extras.Exposure); },
            "the exposure as given, as keywords of absolute_dose ({} for none)");

    conditions
        .def_static(
            "load",
            [](const py::object& path) {
                const Beam beam = LoadBeam(path);
                if (const std::string left = LeftBehind(beam.Extras); !left.empty()) {
                    const std::string note = "the beam holds " + left +
                                             ", which Conditions.load leaves out: "
                                             "veltrim.Beam.load keeps them";
                    if (PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 1) != 0)
                        throw py::error_already_set();
                }
                return beam.Conditions;
            },
            py::arg("path"),
            "The conditions of a saved beam (the window's \"Save beam...\" or veltrim-calc "
            "--save-beam), read as the window reads them; a UserWarning names what else the "
            "beam holds (veltrim.Beam.load keeps it all). ValueError when the file is of a later "
            "format, damaged or not a regular file.")
        .def(
            "save",
            [](const WindowConditions& c, const py::object& path,
               const std::optional<std::string>& name, const std::string& model) {
                SaveBeam(MakeBeam(c, name, model, inputs::Medium.Default, std::nullopt,
                                  std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                  std::nullopt, std::nullopt, std::nullopt, std::nullopt),
                         path);
            },
            py::arg("path"), py::arg("name") = py::none(),
            py::arg("scatter_model") = inputs::ScatterModel.Default,
            "Saves the conditions as a beam the window and veltrim-calc --beam open, under "
            "`name` (default: the file's name without its extension); veltrim.Beam saves the "
            "rest of a calculation's inputs with them.");
}

} // namespace veltrim::python
