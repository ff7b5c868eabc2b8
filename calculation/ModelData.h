#pragma once

// Everything a calculation reads from one data folder, read once: the
// attenuation tables of the spectrum, the air tables of the beam quality,
// the tissue and primary-dose tables, the parallel-beam scatter kernels and
// the point-focus kernel sets. Once loaded it does not change and may be
// shared by any number of threads.

#include "dose/FocusKernels.h"
#include "dose/Medium.h"
#include "dose/ScatterKernels.h"
#include "dose/SlabKernels.h"
#include "dose/SurfaceKernels.h"
#include "dose/TissueTables.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"

#include <array>
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
    // a divergent calculation first asks for them, and the tables of a
    // medium other than the four-component tissue when a calculation first
    // asks for that medium.
    static std::shared_ptr<const ModelData> Load(const std::filesystem::path& folder);

    const std::filesystem::path& Folder() const { return folder_; }
    const AttenuationTables& Attenuation() const { return attenuation_; }
    // Each throws the DataFileError its file gave. The air kerma table alone
    // gives the beam quality without an air path.
    const AirTables& Air() const;
    const EnergyTable& AirKerma() const;
    // The phantom's tables are the medium's; all are safe to call from
    // several threads.
    const TissueTables& Tissue(Medium medium = Medium::IcruFourComponent) const;
    const KernelSet& Kernels(Medium medium = Medium::IcruFourComponent) const;
    const SurfaceKernelSet& SurfaceKernels(Medium medium = Medium::IcruFourComponent) const;
    // The exit-ratio sets of a finite phantom of the medium, read when a
    // calculation first asks for them (it throws the DataFileError of that
    // reading each time).
    const ExitRatioSets& ExitRatios(Medium medium = Medium::IcruFourComponent) const;

    // The kernels of a point focus at `fsd` cm (see FocusKernelLibrary).
    std::unique_ptr<KernelSource> FocusKernels(double fsd,
                                               Medium medium = Medium::IcruFourComponent) const;

  private:
    ModelData(std::filesystem::path folder, AttenuationTables attenuation);

    // What one medium's folder gave: each table, or what its reading threw.
    struct PhantomTables {
        explicit PhantomTables(const std::filesystem::path& folder);
        TissueTables Tissue;
        std::exception_ptr TissueProblem;
        std::unique_ptr<KernelSet> Kernels;
        std::exception_ptr KernelProblem;
        std::unique_ptr<SurfaceKernelSet> Surface;
        std::exception_ptr SurfaceProblem;
        // Sets are only ever added to the library, so a source handed out
        // stays valid while other threads read further sets.
        mutable FocusKernelLibrary Focus;
        // Read on first use, once: most calculations have no thickness.
        mutable std::once_flag ExitOnce;
        mutable ExitRatioSets ExitRatios;
        mutable std::exception_ptr ExitProblem;
    };
    const PhantomTables& Phantom(Medium medium) const;

    std::filesystem::path folder_;
    AttenuationTables attenuation_;
    AirTables air_;
    std::exception_ptr airKermaProblem_;
    std::exception_ptr airAttenuationProblem_;
    // Each medium's tables, read once; a medium is never replaced, so a
    // reference handed out stays valid.
    mutable std::mutex phantomLock_;
    mutable std::array<std::unique_ptr<PhantomTables>, 4> phantoms_;
    mutable std::mutex focusLock_;
};

} // namespace veltrim
