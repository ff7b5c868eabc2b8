#pragma once

#include "app/SharedState.h"

#include <array>
#include <filesystem>

namespace veltrim {

class NumberFile;

// The first line of the message of a failed depth-dose calculation, the same
// in both editions (it begins with a blank); the second names the cause.
inline constexpr const char* DepthDoseFailureMessage = " 正しく計算できませんでした。";

// Folder of the 29 scatter-kernel files inside the data folder.
inline constexpr const char* KernelFolder = "PDS-data";

// The kernel file of a node energy (keV, 10..150 in steps of 5): "10.dat" ... "150.dat".
std::filesystem::path KernelFile(int energyKeV);

// The contents of one kernel file, [ring][depth row], rings and rows 1..80.
using ScatterKernelTable = std::array<std::array<double, DepthRowCapacity>, RingCapacity>;

// Reads a kernel file: depth rows a = 1..80, within each the rings c = 1..80;
// number (a, c) goes to kernel[c][a]. Numbers after the 6400th are not read.
// Throws DataFileError naming the file; `kernel` may then be partly written.
void ReadKernelFile(NumberFile& file, ScatterKernelTable& kernel);

} // namespace veltrim
