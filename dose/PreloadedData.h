#pragma once

#include "dose/DepthDose.h"
#include "dose/TissueTables.h"

#include <array>
#include <filesystem>
#include <memory>

namespace veltrim {

// The files a calculation reads at every OK (ICRUSoft.dat, Primary.dat and
// the 29 scatter kernels), read once and held in memory. A state given them
// (SharedState::Preloaded) computes exactly as from the files, without
// touching the disk for them: for many calculations over data that does not
// change (fuzzing, sweeps, batches). A state without them reads the files at
// every calculation, so that a file changed on disk counts at the next OK.
struct PreloadedData {
    TissueRows Tissue{};
    int TissueRowCount = 0;
    PrimaryDoseNodeTable PrimaryDoseNodes{};
    std::array<ScatterKernelTable, 29> Kernels{}; // 10, 15, ..., 150 keV

    const ScatterKernelTable& Kernel(int energyKeV) const { return Kernels[(energyKeV - 10) / 5]; }
};

// Reads them all from a data folder. Throws DataFileError naming the file.
std::shared_ptr<const PreloadedData> PreloadData(const std::filesystem::path& dataFolder);

} // namespace veltrim
