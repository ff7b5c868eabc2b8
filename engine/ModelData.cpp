#include "engine/ModelData.h"

#include "core/DataFile.h"

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
    return cache_.Take<KernelSet>(
        phantom.Key + "." + FlatName(kernelFolder), KernelFiles(folder),
        [&] { return ReadKernelSet(folder_ / phantom.Folder, kernelFolder); });
}

const EnergyTable& ModelData::AirKerma() const {
    return Take(airKerma_, [&] {
        return cache_.Take<EnergyTable>("air-kerma", {AirKermaFile}, [&] {
            return Owned(ReadAttenuationFile(folder_ / AirKermaFile));
        });
    });
}

const AirTables& ModelData::Air() const {
    return Take(air_, [&] {
        auto air = std::make_unique<AirTables>();
        air->MuEnOverRho = AirKerma();
        air->Mu = Take(airAttenuation_, [&] {
            return cache_.Take<EnergyTable>("air-attenuation", {AirAttenuationFile}, [&] {
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
        return cache_.Take<TissueTables>(
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
        return cache_.Take<SurfaceKernelSet>(
            phantom.Key + "." + SurfaceKernelFolder,
            KernelFiles(phantom.Folder / SurfaceKernelFolder),
            [&] { return ReadSurfaceKernelSet(folder_ / phantom.Folder); });
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
