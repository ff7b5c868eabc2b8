#pragma once

// The scatter kernels of the depth dose: one file per node energy in
// PDS-data/, read and written here, and the sources the calculation takes
// them from (the data folder, or tables already in memory).

#include "core/Grids.h"
#include "core/LargeTables.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace veltrim {

class NumberFile;

// Folder of the 29 scatter-kernel files inside the data folder.
inline constexpr const char* KernelFolder = "PDS-data";
// Node energies of the kernels, keV: 10, 15, ..., 150.
inline constexpr int FirstKernelKeV = 10;
inline constexpr int LastKernelKeV = 150;
inline constexpr int KernelNodeCount = 29;

// The kernel file of a node energy (keV, 10..150 in steps of 5): "10.dat" ... "150.dat".
std::filesystem::path KernelFile(int energyKeV);

// The contents of one kernel file, [ring][depth row], rings and rows 1..80:
// the scatter dose on the axis in row a per unit fluence entering over ring c
// (keV cm2/g).
using ScatterKernelTable = std::array<std::array<double, DepthRowCapacity>, RingCapacity>;

// Reads a kernel file: depth rows a = 1..80, within each the rings c = 1..80;
// number (a, c) goes to kernel[c][a]. Numbers after the 6400th are not read.
// Throws DataFileError naming the file; `kernel` may then be partly written.
void ReadKernelFile(NumberFile& file, ScatterKernelTable& kernel);

// The text of a kernel file: for row a = 1..80, four lines of 20 numbers
// (rings 1-20, 21-40, 41-60, 61-80) separated by commas, each "%.6e" in the
// "C" locale, or 0 where the kernel is exactly zero.
std::string KernelFileText(const ScatterKernelTable& kernel);

// Where a calculation takes the kernel of a node energy from. The reference
// stays valid until the next call.
class KernelSource {
  public:
    virtual ~KernelSource() = default;
    virtual const ScatterKernelTable& Kernel(int energyKeV) = 0;
};

// Reads each kernel from PDS-data/ of a data folder when it is asked for.
class KernelFolderSource final : public KernelSource {
  public:
    explicit KernelFolderSource(std::filesystem::path dataFolder);
    const ScatterKernelTable& Kernel(int energyKeV) override;

  private:
    std::filesystem::path dataFolder_;
    std::unique_ptr<ScatterKernelTable> table_;
};

// All 29 kernels held in memory.
struct KernelSet {
    std::array<ScatterKernelTable, KernelNodeCount> Tables{};
    // 1.5 MB, made afresh for each set a run reads (see LargeTables.h).
    static void* operator new(std::size_t size) { return AllocateLargeTable(size); }
    static void operator delete(void* block) noexcept { FreeLargeTable(block); }
    const ScatterKernelTable& Kernel(int energyKeV) const {
        return Tables[static_cast<std::size_t>((energyKeV - FirstKernelKeV) / 5)];
    }
};

// Reads the 29 kernels of a data folder, from PDS-data/ or another folder
// of it. Throws DataFileError.
std::unique_ptr<KernelSet> ReadKernelSet(const std::filesystem::path& dataFolder,
                                         const std::filesystem::path& kernelFolder = KernelFolder);

// Where a library of kernel sets gets each set: by default ReadKernelSet of
// its data folder; a holder of binary forms passes its own.
using KernelSetReader =
    std::function<std::unique_ptr<KernelSet>(const std::filesystem::path& kernelFolder)>;

class KernelSetSource final : public KernelSource {
  public:
    explicit KernelSetSource(const KernelSet& set) : set_(set) {}
    const ScatterKernelTable& Kernel(int energyKeV) override { return set_.Kernel(energyKeV); }

  private:
    const KernelSet& set_;
};

} // namespace veltrim
