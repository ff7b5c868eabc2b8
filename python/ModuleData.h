#pragma once

// What the Python module's calculations read, one set per data folder, read
// at the first call that names the folder and kept for the interpreter's life.

#include "engine/ModelData.h"

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

// Held by every calculation while it runs without the interpreter lock,
// many at once. A fork waits until none is held, so that no lock of the
// library (the point-focus kernels', the data's) reaches the child held by
// a thread the child does not have: it would wait on it for ever.
class CalculationRunning {
  public:
    CalculationRunning();
    ~CalculationRunning();
    CalculationRunning(const CalculationRunning&) = delete;
    CalculationRunning& operator=(const CalculationRunning&) = delete;
};

// Makes fork wait for the running calculations and the data being read,
// and frees both locks again on each side; called once, at import.
void MakeForkSafe();

} // namespace veltrim::python
