#include "dose/PreloadedData.h"

namespace veltrim {

std::shared_ptr<const PreloadedData> PreloadData(const std::filesystem::path& dataFolder) {
    auto data = std::make_shared<PreloadedData>();
    data->Tissue = ReadTissueTables(dataFolder);
    data->Kernels = *ReadKernelSet(dataFolder);
    return data;
}

} // namespace veltrim
