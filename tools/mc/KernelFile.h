#pragma once

#include "tools/mc/KernelTally.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::mc {

// Mass thickness of a row, g/cm2: 1.00 g/cm3 x 0.5 cm. A cell's energy per
// incident photon divided by it is, by reciprocity, the dose on the axis at
// the row's depth per unit fluence entering over the ring: keV cm2/g, the
// unit of the primary-dose factors.
inline constexpr double kRowMassThickness = 1.00 * 0.5;

// ScatterKernel[ring][row] (0-based) of a tally, keV cm2/g.
std::vector<std::vector<double>> ScatterKernel(const KernelTally& tally);

// The name of the kernel file of a node energy: "10.dat" ... "150.dat".
std::string KernelFileName(int energyKeV);

// The text of a kernel file: for row a = 1..80, four lines of 20 numbers
// (rings 1-20, 21-40, 41-60, 61-80) separated by commas. Scored values are
// printed as "%.6e" in the "C" locale (byte-identical for identical
// numbers); a cell where nothing was scored is written as 0.
std::string KernelFileText(const std::vector<std::vector<double>>& kernel);

// Writes `text` to `path` through a temporary file in the same folder that
// is renamed into place when complete. Throws std::runtime_error.
void WriteFileAtomically(const std::filesystem::path& path, const std::string& text);

// Formats like printf in the "C" locale, whatever the process locale is.
std::string FormatC(const char* format, double value);

} // namespace veltrim::mc
