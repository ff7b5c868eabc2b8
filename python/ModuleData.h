#pragma once

// What the Python module's calculations read, one set per data folder, read
// at the first call that names the folder and kept for the interpreter's life.

#include "calculation/ModelData.h"

#include <memory>
#include <optional>
#include <string>

namespace veltrim::python {

// Raised as veltrim.CalculationError with the program's message.
struct Failure {
    std::string Text;
};

// The data of a folder: `given`, else VELTRIM_DATA, the data installed beside
// the module's prefix, then the folders veltrim-calc looks in. Every table a
// depth dose reads must be there; a folder that cannot be read is not kept,
// so that a mended one is read again. Throws Failure with the data-file
// message.
const ModelData& DataOf(const std::optional<std::string>& given);

} // namespace veltrim::python
