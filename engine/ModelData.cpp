#include "engine/ModelData.h"

#include "core/DataFile.h"

#include <algorithm>
#include <ctime>
#include <sys/stat.h>
#include <utility>

namespace veltrim {
namespace {

// The files of a kernel set, relative to the data folder.
std::vector<std::filesystem::path> KernelFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5)
        files.push_back(folder / KernelFile(e));
    return files;
}

// A cache name from a folder relative to the data folder.
std::string FlatName(const std::filesystem::path& folder) {
    std::string name = folder.generic_string();
    for (char& c : name)
        if (c == '/')
            c = '-';
    return name;
}

template <class Table> std::unique_ptr<Table> Owned(Table table) {
    return std::make_unique<Table>(std::move(table));
}

} // namespace

template <class Table, class Read> const Table& ModelData::Take(Once<Table>& once, Read read) {
    std::call_once(once.Flag, [&] {
        try {
            once.Value = read();
        } catch (const DataFileError&) {
            once.Problem = std::current_exception();
        }
    });
    if (once.Problem)
        std::rethrow_exception(once.Problem);
    return *once.Value;
}

ModelData::ModelData(std::filesystem::path folder, ModelCache cache)
    : folder_(std::move(folder)), cache_(std::move(cache)) {}

namespace {

std::uint64_t Nanoseconds(const timespec& t) {
    return static_cast<std::uint64_t>(t.tv_sec) * 1'000'000'000u +
           static_cast<std::uint64_t>(t.tv_nsec);
}

std::uint64_t Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

// How long after a file's change time another write could still leave
// every time stamp as it was (a file system's clock ticks coarsely).
constexpr std::uint64_t ClockTick = 2'000'000'000u;

} // namespace

std::array<std::uint64_t, 6> ModelData::StatusOf(const std::filesystem::path& file) const {
    struct stat status {};
    if (stat((folder_ / file).c_str(), &status) != 0)
        return {};
    const auto ns = Nanoseconds;
    return {static_cast<std::uint64_t>(status.st_size),
            ns(status.st_mtim),
            ns(status.st_ctim),
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_mode)};
}

template <class Table, class Parse>
std::unique_ptr<Table> ModelData::Cached(const std::string& name,
                                         const std::vector<std::filesystem::path>& sources,
                                         Parse parse) const {
    // Noted before reading: a file changed while it is read shows as
    // changed at the next look.
    {
        const std::lock_guard<std::mutex> lock(seenLock_);
        for (const std::filesystem::path& source : sources)
            seen_.push_back({source, StatusOf(source), Now()});
    }
    return cache_.Take<Table>(name, sources, parse);
}

bool ModelData::FilesChanged() const {
    const std::lock_guard<std::mutex> lock(seenLock_);
    // A file changed within a clock tick of its reading may have been
    // written again since under the same time stamps and size: read again.
    return std::any_of(seen_.begin(), seen_.end(), [this](const Seen& seen) {
        return StatusOf(seen.File) != seen.Status || seen.When < seen.Status[2] + ClockTick;
    });
}

std::shared_ptr<const ModelData> ModelData::Current(std::shared_ptr<const ModelData> data) {
    if (!data->FilesChanged())
        return data;
    const std::shared_ptr<ModelData> fresh(new ModelData(data->folder_, data->cache_));
    fresh->attenuation_ = data->attenuation_;
    fresh->phantoms_[static_cast<std::size_t>(Medium::IcruFourComponent)] =
        std::make_unique<PhantomTables>(*fresh, Medium::IcruFourComponent);
    return fresh;
}

ModelData::PhantomTables::PhantomTables(const ModelData& data, Medium medium)
    : Folder(MediumFolder(medium)), Key(MediumKey(medium)),
      Focus(data.folder_ / Folder, [&data, this](const std::filesystem::path& kernelFolder) {
          return data.ReadSet(*this, kernelFolder);
      }) {}

std::shared_ptr<const ModelData> ModelData::Load(const std::filesystem::path& folder) {
    return Load(folder, ModelCache::For(folder));
}

std::shared_ptr<const ModelData> ModelData::Load(const std::filesystem::path& folder,
                                                 ModelCache cache) {
    const std::shared_ptr<ModelData> data(new ModelData(folder, std::move(cache)));
    data->attenuation_ = data->cache_.Take<AttenuationTables>(
        "attenuation", {TungstenFile, AluminiumFile, CopperFile},
        [&] { return Owned(ReadAttenuationTables(folder)); });
    data->phantoms_[static_cast<std::size_t>(Medium::IcruFourComponent)] =
        std::make_unique<PhantomTables>(*data, Medium::IcruFourComponent);
    return data;
}

std::unique_ptr<KernelSet> ModelData::ReadSet(const PhantomTables& phantom,
                                              const std::filesystem::path& kernelFolder) const {
    const std::filesystem::path folder = phantom.Folder / kernelFolder;
    return Cached<KernelSet>(phantom.Key + "." + FlatName(kernelFolder), KernelFiles(folder),
                             [&] { return ReadKernelSet(folder_ / phantom.Folder, kernelFolder); });
}

const EnergyTable& ModelData::AirKerma() const {
    return Take(airKerma_, [&] {
        return Cached<EnergyTable>("air-kerma", {AirKermaFile}, [&] {
            return Owned(ReadAttenuationFile(folder_ / AirKermaFile));
        });
    });
}

const AirTables& ModelData::Air() const {
    return Take(air_, [&] {
        auto air = std::make_unique<AirTables>();
        air->MuEnOverRho = AirKerma();
        air->Mu = Take(airAttenuation_, [&] {
            return Cached<EnergyTable>("air-attenuation", {AirAttenuationFile}, [&] {
                return Owned(ReadAttenuationFile(folder_ / AirAttenuationFile));
            });
        });
        return air;
    });
}

ModelData::PhantomTables& ModelData::Phantom(Medium medium) const {
    // The four-component tissue's tables are made at Load, before the data
    // are shared, and never replaced: every calculation finds them unlocked.
    if (medium == Medium::IcruFourComponent)
        return *phantoms_[static_cast<std::size_t>(medium)];
    const std::lock_guard<std::mutex> lock(phantomLock_);
    std::unique_ptr<PhantomTables>& tables = phantoms_[static_cast<std::size_t>(medium)];
    if (!tables)
        tables = std::make_unique<PhantomTables>(*this, medium);
    return *tables;
}

const TissueTables& ModelData::Tissue(Medium medium) const {
    PhantomTables& phantom = Phantom(medium);
    return Take(phantom.Tissue, [&] {
        return Cached<TissueTables>(
            phantom.Key + ".tissue",
            {phantom.Folder / TissueFile, phantom.Folder / PrimaryDoseFile},
            [&] { return Owned(ReadTissueTables(folder_ / phantom.Folder)); });
    });
}

const KernelSet& ModelData::Kernels(Medium medium) const {
    PhantomTables& phantom = Phantom(medium);
    return Take(phantom.Kernels, [&] { return ReadSet(phantom, KernelFolder); });
}

const SurfaceKernelSet& ModelData::SurfaceKernels(Medium medium) const {
    PhantomTables& phantom = Phantom(medium);
    return Take(phantom.Surface, [&] {
        return Cached<SurfaceKernelSet>(phantom.Key + "." + SurfaceKernelFolder,
                                        KernelFiles(phantom.Folder / SurfaceKernelFolder), [&] {
                                            return ReadSurfaceKernelSet(folder_ / phantom.Folder);
                                        });
    });
}

const ExitRatioSets& ModelData::ExitRatios(Medium medium) const {
    PhantomTables& phantom = Phantom(medium);
    return Take(phantom.ExitRatios, [&] {
        return Owned(ReadExitRatioSets([&](const std::filesystem::path& kernelFolder) {
            return ReadSet(phantom, kernelFolder);
        }));
    });
}

std::unique_ptr<KernelSource> ModelData::FocusKernels(double fsd, Medium medium) const {
    PhantomTables& phantom = Phantom(medium);
    const std::lock_guard<std::mutex> lock(focusLock_);
    return phantom.Focus.SourceFor(fsd);
}

} // namespace veltrim
