#include "calculation/ModelData.h"

#include "core/DataFile.h"

#include <utility>

namespace veltrim {
namespace {

// Runs a reading, keeping what it throws instead of passing it on.
template <typename Read> std::exception_ptr Keep(Read read) {
    try {
        read();
        return nullptr;
    } catch (const DataFileError&) {
        return std::current_exception();
    }
}

// A table, or what its reading threw.
template <typename Table>
const Table& Checked(const std::exception_ptr& problem, const Table* table) {
    if (problem)
        std::rethrow_exception(problem);
    return *table;
}

} // namespace

ModelData::ModelData(std::filesystem::path folder, AttenuationTables attenuation)
    : folder_(std::move(folder)), attenuation_(std::move(attenuation)) {}

ModelData::PhantomTables::PhantomTables(const std::filesystem::path& folder) : Focus(folder) {
    TissueProblem = Keep([&] { Tissue = ReadTissueTables(folder); });
    KernelProblem = Keep([&] { Kernels = ReadKernelSet(folder); });
    SurfaceProblem = Keep([&] { Surface = ReadSurfaceKernelSet(folder); });
}

std::shared_ptr<const ModelData> ModelData::Load(const std::filesystem::path& folder) {
    const std::shared_ptr<ModelData> data(new ModelData(folder, ReadAttenuationTables(folder)));
    data->airKermaProblem_ =
        Keep([&] { data->air_.MuEnOverRho = ReadAttenuationFile(folder / AirKermaFile); });
    data->airAttenuationProblem_ =
        Keep([&] { data->air_.Mu = ReadAttenuationFile(folder / AirAttenuationFile); });
    data->phantoms_[static_cast<std::size_t>(Medium::IcruFourComponent)] =
        std::make_unique<PhantomTables>(folder);
    return data;
}

const AirTables& ModelData::Air() const {
    AirKerma();
    return Checked(airAttenuationProblem_, &air_);
}

const EnergyTable& ModelData::AirKerma() const {
    return Checked(airKermaProblem_, &air_.MuEnOverRho);
}

const ModelData::PhantomTables& ModelData::Phantom(Medium medium) const {
    // The four-component tissue's tables are set at Load, before the data
    // are shared, and never replaced: every calculation reads them unlocked.
    if (medium == Medium::IcruFourComponent)
        return *phantoms_[static_cast<std::size_t>(medium)];
    const std::lock_guard<std::mutex> lock(phantomLock_);
    std::unique_ptr<PhantomTables>& tables = phantoms_[static_cast<std::size_t>(medium)];
    if (!tables)
        tables = std::make_unique<PhantomTables>(folder_ / MediumFolder(medium));
    return *tables;
}

const TissueTables& ModelData::Tissue(Medium medium) const {
    const PhantomTables& phantom = Phantom(medium);
    return Checked(phantom.TissueProblem, &phantom.Tissue);
}

const KernelSet& ModelData::Kernels(Medium medium) const {
    const PhantomTables& phantom = Phantom(medium);
    return Checked(phantom.KernelProblem, phantom.Kernels.get());
}

const SurfaceKernelSet& ModelData::SurfaceKernels(Medium medium) const {
    const PhantomTables& phantom = Phantom(medium);
    return Checked(phantom.SurfaceProblem, phantom.Surface.get());
}

const ExitRatioSets& ModelData::ExitRatios(Medium medium) const {
    const PhantomTables& phantom = Phantom(medium);
    const std::filesystem::path folder = folder_ / MediumFolder(medium);
    std::call_once(phantom.ExitOnce, [&] {
        phantom.ExitProblem = Keep([&] { phantom.ExitRatios = ReadExitRatioSets(folder); });
    });
    return Checked(phantom.ExitProblem, &phantom.ExitRatios);
}

std::unique_ptr<KernelSource> ModelData::FocusKernels(double fsd, Medium medium) const {
    const PhantomTables& phantom = Phantom(medium);
    const std::lock_guard<std::mutex> lock(focusLock_);
    return phantom.Focus.SourceFor(fsd);
}

} // namespace veltrim
