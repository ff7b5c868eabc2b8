#include "dose/PreloadedData.h"

#include "app/DataFile.h"

namespace veltrim {

std::shared_ptr<const PreloadedData> PreloadData(const std::filesystem::path& dataFolder) {
    auto data = std::make_shared<PreloadedData>();
    data->TissueRowCount = ReadTissueFile(dataFolder / TissueFile, data->Tissue);
    data->PrimaryDoseNodes = ReadPrimaryDoseFile(dataFolder / PrimaryDoseFile);
    for (int e = 10; e <= 150; e += 5) {
        NumberFile file(dataFolder / KernelFolder / KernelFile(e));
        ReadKernelFile(file, data->Kernels[(e - 10) / 5]);
    }
    return data;
}

} // namespace veltrim
