#pragma once

// The module `veltrim` is made of these binding functions, one for each kind
// of thing it gives Python; a new quantity is one more of them. They are
// called in the order given: a signature names only classes bound before it.

#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "engine/CalculateBeam.h"
#include "python/ModuleData.h"

#include <optional>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim::python {

namespace py = pybind11;

// Python's Conditions: the record the calculations take, with each number as
// it was given in the window's units (the tube voltage as held) and the text
// it came from (a float's repr, a text given to from_texts or read from a
// beam file), which a saved beam keeps, so that the window reads back the
// record's own bits rather than those of a mm-cm-mm round trip.
struct WindowConditions : IrradiationConditions {
    ConditionTexts Typed;
    double Given[std::size(ConditionTextFields)] = {};
};

// CalculationError, raised for every Failure.
void BindErrors(py::module_& m);
// Conditions, in the window's units.
void BindConditions(py::module_& m);
// Beam, a saved beam file, with Conditions.load and Conditions.save.
void BindBeamFile(py::module_& m, py::class_<WindowConditions>& conditions);
// spectrum.
void BindSpectrum(py::module_& m);
// beam_quality and match_hvl1.
void BindQuality(py::module_& m);
// DepthDose, depth_dose and results_file.
void BindDepthDose(py::module_& m);
// AbsoluteDose and absolute_dose.
void BindAbsoluteDose(py::module_& m);
// dose_at, DoseMap and dose_map.
void BindPointDose(py::module_& m);
// Study and StudyResult.
void BindStudy(py::module_& m);
// report, where the module is built with Qt.
void BindReport(py::module_& m);

// A path given as str or os.PathLike; ValueError for one holding a NUL
// byte, which the system would take as the end of a shorter name.
std::string PathText(const py::object& path);
// The air path of air_cm, checked as veltrim-calc checks --air: ValueError
// outside 0..1000 cm.
double AirPath(double airCm);
// A measured first half-value layer, mm Al, given as `keyword`, checked as
// veltrim-calc checks --hvl1: ValueError unless positive.
double MeasuredHvl1(const char* keyword, double mm);
// The conditions read from texts as the window reads its fields.
WindowConditions ConditionsOfTexts(const ConditionTexts& texts, RectificationMethod method);
// The conditions with a thickness found by a match (mm) typed into `field`,
// read as the window reads it.
WindowConditions WithTypedFilter(WindowConditions c, std::string ConditionTexts::*field,
                                 const std::string& mm);
// `bytes` into the file through the one writer; ValueError for a name held
// by anything but a regular file, OSError with the system's reason else.
void WriteUserFile(const std::string& file, std::string_view bytes);
// The exposure of the keyword arguments, checked as veltrim-calc checks its
// options: one way only, a tube output with its mAs.
std::optional<Exposure> ExposureOf(std::optional<double> airKerma, std::optional<double> tubeOutput,
                                   std::optional<double> mas, double outputDistance,
                                   std::optional<double> kap, std::optional<double> esak);

// A numpy array of the values.
py::array_t<double> Array(const std::vector<double>& values);

// The options of a depth dose under the named scatter model ("classic" or
// "divergent"); another name raises ValueError.
CalculationOptions DepthDoseOptions(const std::string& scatterModel,
                                    std::optional<double> thicknessCm = std::nullopt,
                                    const std::string& medium = "icru-4");

// The exposure of the keyword arguments air_kerma, tube_output, mas,
// output_distance, kap and esak, checked as veltrim-calc checks its options:
// one way only, a tube output with its mAs; none without one.
std::optional<Exposure> ExposureOf(std::optional<double> airKerma, std::optional<double> tubeOutput,
                                   std::optional<double> mas, double outputDistance,
                                   std::optional<double> kap, std::optional<double> esak);

// Runs a calculation without the interpreter lock, so that threads calculate
// side by side, turning the library's failures into Failure.
template <typename Step> auto Calculate(Step step) {
    try {
        py::gil_scoped_release unlocked;
        // Released before the interpreter lock is taken back: a fork
        // waiting for the gate holds the interpreter lock.
        const CalculationRunning running;
        return step();
    } catch (const CalculationError& e) {
        throw Failure{e.what()};
    } catch (const DataFileError& e) {
        throw Failure{e.what()};
    }
}

} // namespace veltrim::python
