#pragma once

#include "app/SharedState.h"

#include <array>
#include <filesystem>

namespace veltrim {

class NumberFile;

// File names of the tissue data, as the installation ships them.
inline constexpr const char* TissueFile = "ICRUSoft.dat";
inline constexpr const char* PrimaryDoseFile = "Primary.dat";

using TissueRows = std::array<TissueRow, TissueRowCapacity + 1>;
using PrimaryDoseNodeTable = std::array<double, 31>;

// ICRUSoft.dat: the row count N (1..37), one number that is not used, then N
// rows of energy (MeV) and the three partial attenuation coefficients (1/cm).
// Rows 1..N of `rows` are replaced (energies turned into keV), rows above N
// keep what they held. Throws DataFileError naming the file.
int ReadTissueFile(const std::filesystem::path& path, TissueRows& rows);
int ReadTissueFile(NumberFile& file, TissueRows& rows);

// Primary.dat: 29 records of a node energy (not used; the position gives it)
// and the primary-dose factor of the nodes 10, 15, ..., 150 keV, stored at
// j = 2..30. The factors must be positive, since they are interpolated in the
// logarithm. Throws DataFileError naming the file.
PrimaryDoseNodeTable ReadPrimaryDoseFile(const std::filesystem::path& path);
PrimaryDoseNodeTable ReadPrimaryDoseFile(NumberFile& file);

// The primary-dose factor on the 0.5-keV grid, bins 21..300, interpolated
// linearly in energy and in the logarithm of the factor between 5-keV nodes.
EnergyTable BuildPrimaryDoseTable(const PrimaryDoseNodeTable& nodes);

} // namespace veltrim
