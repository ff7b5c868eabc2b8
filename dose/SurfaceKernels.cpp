#include "dose/SurfaceKernels.h"

#include "core/CFormat.h"
#include "core/DataFile.h"

namespace veltrim {
namespace {

void ReadRings(NumberFile& file, std::array<double, RingCapacity>& rings) {
    for (int c = 1; c <= 80; ++c)
        rings[c] = file.Next();
}

void WriteRings(const std::array<double, RingCapacity>& rings, std::string& text) {
    for (int c = 1; c <= 80; ++c) {
        text += rings[c] == 0.0 ? std::string("0") : FormatC("%.6e", rings[c]);
        text += c % 20 == 0 ? "\n" : ",";
    }
}

} // namespace

SurfaceKernel ReadSurfaceKernelFile(NumberFile& file) {
    SurfaceKernel kernel;
    ReadRings(file, kernel.Tissue);
    ReadRings(file, kernel.Air);
    return kernel;
}

std::string SurfaceKernelFileText(const SurfaceKernel& kernel) {
    std::string text;
    WriteRings(kernel.Tissue, text);
    WriteRings(kernel.Air, text);
    return text;
}

std::unique_ptr<SurfaceKernelSet> ReadSurfaceKernelSet(const std::filesystem::path& dataFolder) {
    auto set = std::make_unique<SurfaceKernelSet>();
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5) {
        NumberFile file(dataFolder / SurfaceKernelFolder / KernelFile(e));
        set->Nodes[static_cast<std::size_t>((e - FirstKernelKeV) / 5)] =
            ReadSurfaceKernelFile(file);
    }
    return set;
}

} // namespace veltrim
