#pragma once

#include "dose/ScatterKernels.h"
#include "dose/TissueTables.h"

#include <filesystem>
#include <memory>

namespace veltrim {

// The tissue tables and the 29 kernels of a data folder, read once and held
// in memory, so that many calculations (a batch, a sweep, a fuzz run) read no
// file after the first. The calculation gives the same bits as from the files.
struct PreloadedData {
    TissueTables Tissue;
    KernelSet Kernels;
};

// Reads them all; throws DataFileError naming the first file that fails.
std::shared_ptr<const PreloadedData> PreloadData(const std::filesystem::path& dataFolder);

} // namespace veltrim
