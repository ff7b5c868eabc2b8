#pragma once

// The tissue data of the depth dose: the attenuation table of ICRU soft
// tissue (ICRUSoft.dat) and the primary-dose factors (Primary.dat). Both
// files are read and written here, and the attenuation between the rows of
// the table is formed here only.

#include "core/Grids.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrim {

class NumberFile;

// File names of the tissue data, as the installation ships them.
inline constexpr const char* TissueFile = "ICRUSoft.dat";
inline constexpr const char* PrimaryDoseFile = "Primary.dat";

// Rows of the tissue table, 1..37 (index 0 unused).
inline constexpr int TissueRowCapacity = 37;

// One row of the tissue attenuation table: three partial linear attenuation
// coefficients (1/cm) at a photon energy (keV).
struct TissueRow {
    double MuPart1 = 0.0;
    double MuPart2 = 0.0;
    double MuPart3 = 0.0;
    double EnergyKeV = 0.0;
    bool operator==(const TissueRow&) const = default;
};

using TissueRows = std::array<TissueRow, TissueRowCapacity + 1>;
// The primary-dose nodes j = 2..30, at 5j keV (10..150 keV).
inline constexpr int FirstPrimaryDoseNode = 2;
inline constexpr int LastPrimaryDoseNode = 30;
using PrimaryDoseNodeTable = std::array<double, LastPrimaryDoseNode + 1>;

// Everything the depth dose takes from the two files.
struct TissueTables {
    TissueRows Rows{};
    int RowCount = 0;
    PrimaryDoseNodeTable PrimaryDoseNodes{};
    EnergyTable PrimaryDose{}; // the factors on the 0.5-keV grid, bins 21..300
};

// ICRUSoft.dat: the row count N (1..37), one number that is not used, then N
// rows of energy (MeV) and the three partial attenuation coefficients (1/cm).
// Rows 1..N of `rows` are replaced (energies turned into keV), rows above N
// keep what they held. Throws DataFileError naming the file.
int ReadTissueFile(const std::filesystem::path& path, TissueRows& rows);
int ReadTissueFile(NumberFile& file, TissueRows& rows);

// The text of ICRUSoft.dat for rows 1..count with the density in the unused
// second place: "%d", "%.2f", then "E_MeV,part1,part2,part3" per row, energies
// as "%.4f" MeV and coefficients as "%.6e", in the "C" locale.
std::string TissueFileText(const TissueRows& rows, int count, double density);

// Primary.dat: 29 records of a node energy (not used; the position gives it)
// and the primary-dose factor of the nodes 10, 15, ..., 150 keV, stored at
// j = 2..30. The factors must be positive, since they are interpolated in the
// logarithm. Throws DataFileError naming the file.
PrimaryDoseNodeTable ReadPrimaryDoseFile(const std::filesystem::path& path);
PrimaryDoseNodeTable ReadPrimaryDoseFile(NumberFile& file);

// The text of Primary.dat: "energy_keV,factor" per node, "%d,%.6e".
std::string PrimaryDoseFileText(const PrimaryDoseNodeTable& nodes);

// The primary-dose factor on the 0.5-keV grid, bins 21..300, interpolated
// linearly in energy and in the logarithm of the factor between 5-keV nodes.
EnergyTable BuildPrimaryDoseTable(const PrimaryDoseNodeTable& nodes);

// Both files of the data folder, read into fresh tables. Throws DataFileError.
TissueTables ReadTissueTables(const std::filesystem::path& dataFolder);
// The same from the texts of the two files (the names appear in messages).
TissueTables TissueTablesFromTexts(std::string_view tissueText, std::string_view primaryText);
TissueTables MakeTissueTables(const TissueRows& rows, int rowCount,
                              const PrimaryDoseNodeTable& nodes);

// Total linear attenuation coefficient (1/cm) of soft tissue at E keV: each
// partial coefficient linear in log-log between the two rows around E, then
// summed. Throws CalculationError when E is not inside the table or a value
// cannot be taken the logarithm of.
double TissueAttenuation(const TissueRows& rows, int rowCount, double E);

} // namespace veltrim
