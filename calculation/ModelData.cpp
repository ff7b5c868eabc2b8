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
    return data;
}

const AirTables& ModelData::Air() const {
    AirKerma();
    if (airAttenuationProblem_)
        std::rethrow_exception(airAttenuationProblem_);
    return air_;
}

const EnergyTable& ModelData::AirKerma() const {
    if (airKermaProblem_)
        std::rethrow_exception(airKermaProblem_);
    return air_.MuEnOverRho;
}

const TissueTables& ModelData::Tissue() const {
    if (tissueProblem_)
        std::rethrow_exception(tissueProblem_);
    return tissue_;
}

const KernelSet& ModelData::Kernels() const {
    if (kernelProblem_)
        std::rethrow_exception(kernelProblem_);
    return *kernels_;
}

std::unique_ptr<KernelSource> ModelData::FocusKernels(double fsd) const {
    const std::lock_guard<std::mutex> lock(focusLock_);
    return focus_.SourceFor(fsd);
}

} // namespace veltrim
