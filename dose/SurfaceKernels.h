#pragma once

// The scatter at the entrance surface itself, which the 0.5-cm rows of the
// depth-dose kernels average away: for each node energy and ring, the
// scatter kerma in tissue and in air at the surface point on the axis, from
// photons entering perpendicularly over the ring with unit fluence (keV
// cm2/g, the units of Primary.dat). Made by the Monte Carlo tool; the
// backscatter factor and the surface dose are formed from them.

#include "core/Grids.h"
#include "dose/ScatterKernels.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>

namespace veltrim {

class NumberFile;

// Folder of the surface kernels in the data folder, one file per node energy
// named as the kernels are ("10.dat" ... "150.dat").
inline constexpr const char* SurfaceKernelFolder = "PDS-surface";

// Rings 1..80 (index 0 unused).
struct SurfaceKernel {
    std::array<double, RingCapacity> Tissue{};
    std::array<double, RingCapacity> Air{};
};

struct SurfaceKernelSet {
    std::array<SurfaceKernel, KernelNodeCount> Nodes{};
    const SurfaceKernel& At(int energyKeV) const {
        return Nodes[static_cast<std::size_t>((energyKeV - FirstKernelKeV) / 5)];
    }
};

// A file: four lines of 20 numbers for the tissue (rings 1-80), then four
// for the air. Throws DataFileError.
SurfaceKernel ReadSurfaceKernelFile(NumberFile& file);
std::string SurfaceKernelFileText(const SurfaceKernel& kernel);

// The 29 files of a data folder. Throws DataFileError naming the first that fails.
std::unique_ptr<SurfaceKernelSet> ReadSurfaceKernelSet(const std::filesystem::path& dataFolder);

} // namespace veltrim
