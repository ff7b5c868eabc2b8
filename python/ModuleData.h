#pragma once

// What the Python module's calculations read, one set per data folder, read
// at the first call that names the folder and kept for the interpreter's life.

#include "dose/FocusKernels.h"
#include "dose/PreloadedData.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace veltrim::python {

// Raised as veltrim.CalculationError with the program's message.
struct Failure {
    std::string Text;
};

// Everything a calculation reads, for one data folder.
struct Data {
    std::filesystem::path Folder;
    AttenuationTables Attenuation;
    std::shared_ptr<const PreloadedData> Dose;
    AirTables Air;
    bool AirRead = false;
    std::string AirProblem;

    // The kernels of a divergent calculation at `fsd` cm; the point-focus
    // sets are read at the first such call and kept. Throws as
    // FocusKernelLibrary::SourceFor. Safe from several threads.
    std::unique_ptr<KernelSource> DivergentKernels(double fsd);

  private:
    // Sets are only ever added, so a source handed out stays valid.
    std::unique_ptr<std::mutex> focusLock_ = std::make_unique<std::mutex>();
    std::unique_ptr<FocusKernelLibrary> focus_;
};

// The data of a folder: `given`, else VELTRIM_DATA, the data installed beside
// the module's prefix, then the folders veltrim-calc looks in. A folder that
// cannot be read is not kept, so that a mended one is read again; throws
// Failure with the data-file message.
Data& DataOf(const std::optional<std::string>& given);

} // namespace veltrim::python
