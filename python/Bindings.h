#pragma once

// The module `veltrim` is made of these binding functions, one for each kind
// of thing it gives Python; a new quantity is one more of them. They are
// called in the order given: a signature names only classes bound before it.

#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "python/ModuleData.h"

#include <pybind11/pybind11.h>

namespace veltrim::python {

namespace py = pybind11;

// CalculationError, raised for every Failure.
void BindErrors(py::module_& m);
// Conditions, in the window's units.
void BindConditions(py::module_& m);
// spectrum.
void BindSpectrum(py::module_& m);
// beam_quality and match_hvl1.
void BindQuality(py::module_& m);
// DepthDose, depth_dose and results_file.
void BindDepthDose(py::module_& m);

// Runs a calculation without the interpreter lock, so that threads calculate
// side by side, turning the library's failures into Failure.
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

} // namespace veltrim::python
