#include "dose/ScatterKernels.h"

#include "core/CFormat.h"
#include "core/DataFile.h"

#include <utility>

namespace veltrim {

std::filesystem::path KernelFile(int energyKeV) {
    return std::to_string(energyKeV) + ".dat";
}

void ReadKernelFile(NumberFile& file, ScatterKernelTable& kernel) {
    for (int a = 1; a <= 80; ++a)
        for (int c = 1; c <= 80; ++c)
            kernel[c][a] = file.Next();
}

std::string KernelFileText(const ScatterKernelTable& kernel) {
    std::string text;
    for (int a = 1; a <= 80; ++a) {
        for (int c = 1; c <= 80; ++c) {
            const double value = kernel[c][a];
            text += value == 0.0 ? std::string("0") : FormatC("%.6e", value);
            text += c % 20 == 0 ? "\n" : ",";
        }
    }
    return text;
}

KernelFolderSource::KernelFolderSource(std::filesystem::path dataFolder)
    : dataFolder_(std::move(dataFolder)), table_(std::make_unique<ScatterKernelTable>()) {}

const ScatterKernelTable& KernelFolderSource::Kernel(int energyKeV) {
    NumberFile file(dataFolder_ / KernelFolder / KernelFile(energyKeV));
    ReadKernelFile(file, *table_);
    return *table_;
}

std::unique_ptr<KernelSet> ReadKernelSet(const std::filesystem::path& dataFolder,
                                         const std::filesystem::path& kernelFolder) {
    auto set = std::make_unique<KernelSet>();
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5) {
        NumberFile file(dataFolder / kernelFolder / KernelFile(e));
        ReadKernelFile(file, set->Tables[static_cast<std::size_t>((e - FirstKernelKeV) / 5)]);
    }
    return set;
}

} // namespace veltrim
