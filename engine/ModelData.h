#pragma once

// Everything a calculation reads from one data folder: the attenuation
// tables of the spectrum, the air tables of the beam quality, the tissue and
// primary-dose tables, the parallel-beam scatter kernels, the surface
// kernels, the exit-ratio sets and the point-focus kernel sets. Each set is
// read when a calculation first asks for it, from its binary form in the
// cache when that was made from the same files (ModelCache.h), and kept:
// a depth dose never reads the surface kernels, a classic one never the
// point-focus sets. What a set holds never changes once read, and the data
// may be shared by any number of threads. One process keeps one ModelData
// per data folder; Current() gives a fresh one when a file it has read (or
// failed to read) has changed since.

#include "dose/FocusKernels.h"
#include "dose/Medium.h"
#include "dose/ScatterKernels.h"
#include "dose/SlabKernels.h"
#include "dose/SurfaceKernels.h"
#include "dose/TissueTables.h"
#include "engine/ModelCache.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace veltrim {

class ModelData {
  public:
    // Reads the attenuation tables, which every calculation needs: only
    // their failure throws (DataFileError). A missing or damaged air, tissue
    // or kernel file is thrown by the accessor below when a calculation
    // first needs it, with the same message as a reading at that moment
    // would give, and again at each later call.
    static std::shared_ptr<const ModelData> Load(const std::filesystem::path& folder);
    // The same over a cache of the caller's choosing (tests, benchmarks).
    static std::shared_ptr<const ModelData> Load(const std::filesystem::path& folder,
                                                 ModelCache cache);

    // `data` itself while none of the files its sets were read from has
    // changed (size, time stamps, inode, or a missing file that appeared);
    // otherwise a ModelData of the same folder that reads them again as
    // they are needed. The attenuation tables are kept: they are read once,
    // when the data are first loaded. Costs one stat per file read so far.
    static std::shared_ptr<const ModelData> Current(std::shared_ptr<const ModelData> data);
    bool FilesChanged() const;

    const std::filesystem::path& Folder() const { return folder_; }
    const AttenuationTables& Attenuation() const { return *attenuation_; }
    // Each throws the DataFileError its file gave. The air kerma table alone
    // gives the beam quality without an air path.
    const AirTables& Air() const;
    const EnergyTable& AirKerma() const;
    // The phantom's tables are the medium's; all are safe to call from
    // several threads.
    const TissueTables& Tissue(Medium medium = Medium::IcruFourComponent) const;
    const KernelSet& Kernels(Medium medium = Medium::IcruFourComponent) const;
    const SurfaceKernelSet& SurfaceKernels(Medium medium = Medium::IcruFourComponent) const;
    // The exit-ratio sets of a finite phantom of the medium.
    const ExitRatioSets& ExitRatios(Medium medium = Medium::IcruFourComponent) const;

    // The kernels of a point focus at `fsd` cm (see FocusKernelLibrary).
    std::unique_ptr<KernelSource> FocusKernels(double fsd,
                                               Medium medium = Medium::IcruFourComponent) const;

  private:
    ModelData(std::filesystem::path folder, ModelCache cache);

    // A table read on first use, once, or what its reading threw.
    template <class Table> struct Once {
        std::once_flag Flag;
        std::unique_ptr<Table> Value;
        std::exception_ptr Problem;
    };
    template <class Table, class Read> static const Table& Take(Once<Table>& once, Read read);

    // One medium's tables; its folder is relative to the data folder.
    struct PhantomTables {
        PhantomTables(const ModelData& data, Medium medium);
        std::filesystem::path Folder;
        std::string Key;
        Once<TissueTables> Tissue;
        Once<KernelSet> Kernels;
        Once<SurfaceKernelSet> Surface;
        Once<ExitRatioSets> ExitRatios;
        // Sets are only ever added to the library, so a source handed out
        // stays valid while other threads read further sets.
        FocusKernelLibrary Focus;
    };
    PhantomTables& Phantom(Medium medium) const;
    // A kernel set of a medium's folder (PDS-data, a point-focus or an
    // exit-ratio set), through the cache.
    std::unique_ptr<KernelSet> ReadSet(const PhantomTables& phantom,
                                       const std::filesystem::path& kernelFolder) const;
    // cache_.Take, noting what the sources were when they were read.
    template <class Table, class Parse>
    std::unique_ptr<Table> Cached(const std::string& name,
                                  const std::vector<std::filesystem::path>& sources,
                                  Parse parse) const;
    // A source file as stat finds it (all zero when it is missing), and
    // when it was looked at (ns of the real-time clock).
    struct Seen {
        std::filesystem::path File; // relative to the data folder
        std::array<std::uint64_t, 6> Status{};
        std::uint64_t When = 0;
    };
    std::array<std::uint64_t, 6> StatusOf(const std::filesystem::path& file) const;

    std::filesystem::path folder_;
    ModelCache cache_;
    std::shared_ptr<const AttenuationTables> attenuation_;
    mutable Once<EnergyTable> airKerma_;
    mutable Once<EnergyTable> airAttenuation_;
    mutable Once<AirTables> air_;
    // Each medium's tables, made on first use; a medium is never replaced,
    // so a reference handed out stays valid.
    mutable std::mutex phantomLock_;
    mutable std::array<std::unique_ptr<PhantomTables>, 4> phantoms_;
    mutable std::mutex focusLock_;
    mutable std::mutex seenLock_;
    mutable std::vector<Seen> seen_;
};

} // namespace veltrim
