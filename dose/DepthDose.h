#pragma once

#include <filesystem>

namespace veltrim {

// The one message of a failed depth-dose calculation, the same in both
// editions (it begins with a blank).
inline constexpr const char* DepthDoseFailureMessage = " 正しく計算できませんでした。";

// Folder of the 29 scatter-kernel files inside the data folder.
inline constexpr const char* KernelFolder = "PDS-data";

// The kernel file of a node energy (keV, 10..150 in steps of 5): "10.dat" ... "150.dat".
std::filesystem::path KernelFile(int energyKeV);

} // namespace veltrim
