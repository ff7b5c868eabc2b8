#pragma once

// Everything a calculation reads from one data folder, read once: the
// attenuation tables of the spectrum, the air tables of the beam quality,
// the tissue and primary-dose tables, the parallel-beam scatter kernels and
// the point-focus kernel sets. Once loaded it does not change and may be
// shared by any number of threads.

#include "dose/FocusKernels.h"
#include "dose/ScatterKernels.h"
#include "dose/SlabKernels.h"
#include "dose/SurfaceKernels.h"
#include "dose/TissueTables.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>

namespace veltrim {

class ModelData {
  public:
    // Reads the folder. Only the attenuation tables are needed by every
    // calculation, so only their failure throws (DataFileError); a missing or
    // damaged air, tissue or kernel file is kept and thrown by the accessor
    // below when a calculation first needs it, with the same message as a
    // reading at that moment would give. The point-focus sets are read when
    // a divergent calculation first asks for them.
    static std::shared_ptr<const ModelData> Load(const std::filesystem::path& folder);

    const std::filesystem::path& Folder() const { return folder_; }
    const AttenuationTables& Attenuation() const { return attenuation_; }
    // Each throws the DataFileError its file gave. The air kerma table alone
    // gives the beam quality without an air path.
    const AirTables& Air() const;
    const EnergyTable& AirKerma() const;
    const TissueTables& Tissue() const;
    const KernelSet& Kernels() const;
    const SurfaceKernelSet& SurfaceKernels() const;
    // The exit-ratio sets of a finite phantom, read when a calculation first
    // asks for them (it throws the DataFileError of that reading each time).
    const ExitRatioSets& ExitRatios() const;

    // The kernels of a point focus at `fsd` cm (see FocusKernelLibrary);
    // safe to call from several threads.
    std::unique_ptr<KernelSource> FocusKernels(double fsd) const;

  private:
    ModelData(std::filesystem::path folder, AttenuationTables attenuation);

    std::filesystem::path folder_;
    AttenuationTables attenuation_;
    AirTables air_;
    std::exception_ptr airKermaProblem_;
    std::exception_ptr airAttenuationProblem_;
    TissueTables tissue_;
    std::exception_ptr tissueProblem_;
    std::unique_ptr<KernelSet> kernels_;
    std::exception_ptr kernelProblem_;
    std::unique_ptr<SurfaceKernelSet> surface_;
    std::exception_ptr surfaceProblem_;
    // Sets are only ever added to the library, so a source handed out stays
    // valid while other threads read further sets.
    mutable std::mutex focusLock_;
    mutable FocusKernelLibrary focus_;
    mutable std::once_flag exitOnce_;
    mutable ExitRatioSets exitRatios_;
    mutable std::exception_ptr exitProblem_;
};

} // namespace veltrim
