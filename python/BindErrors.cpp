// veltrim.CalculationError: a ValueError, so that code catching bad values
// catches it, carrying the program's message.
#include "python/Bindings.h"

namespace veltrim::python {
namespace {

py::object& ErrorType() {
    static py::object type;
    return type;
}

} // namespace

void BindErrors(py::module_& m) {
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
}

} // namespace veltrim::python
