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
    : folder_(std::move(folder)), attenuation_(std::move(attenuation)), focus_(folder_) {}

std::shared_ptr<const ModelData> ModelData::Load(const std::filesystem::path& folder) {
    const std::shared_ptr<ModelData> data(new ModelData(folder, ReadAttenuationTables(folder)));
    data->airKermaProblem_ =
        Keep([&] { data->air_.MuEnOverRho = ReadAttenuationFile(folder / AirKermaFile); });
    data->airAttenuationProblem_ =
        Keep([&] { data->air_.Mu = ReadAttenuationFile(folder / AirAttenuationFile); });
    data->tissueProblem_ = Keep([&] { data->tissue_ = ReadTissueTables(folder); });
    data->kernelProblem_ = Keep([&] { data->kernels_ = ReadKernelSet(folder); });
    data->surfaceProblem_ = Keep([&] { data->surface_ = ReadSurfaceKernelSet(folder); });
    return data;
}

const AirTables& ModelData::Air() const {
    AirKerma();
    return Checked(airAttenuationProblem_, &air_);
}

const EnergyTable& ModelData::AirKerma() const {
    return Checked(airKermaProblem_, &air_.MuEnOverRho);
}

const TissueTables& ModelData::Tissue() const {
    return Checked(tissueProblem_, &tissue_);
}

const KernelSet& ModelData::Kernels() const {
    return Checked(kernelProblem_, kernels_.get());
}

const SurfaceKernelSet& ModelData::SurfaceKernels() const {
    return Checked(surfaceProblem_, surface_.get());
}

const ExitRatioSets& ModelData::ExitRatios() const {
    std::call_once(exitOnce_, [this] {
        exitProblem_ = Keep([this] { exitRatios_ = ReadExitRatioSets(folder_); });
    });
    return Checked(exitProblem_, &exitRatios_);
}

std::unique_ptr<KernelSource> ModelData::FocusKernels(double fsd) const {
    const std::lock_guard<std::mutex> lock(focusLock_);
    return focus_.SourceFor(fsd);
}

} // namespace veltrim
