#pragma once

#include "core/Grids.h"

#include <filesystem>
#include <string>

namespace veltrim {

class NumberFile;

// File names of the three attenuation tables, as the installation ships them.
inline constexpr const char* TungstenFile = "Tungsten.dat";
inline constexpr const char* AluminiumFile = "Aluminum.atc";
inline constexpr const char* CopperFile = "Copper.dat";

// Linear attenuation coefficients in 1/cm on the energy grid, bins 1..300
// filled (bin 0 is never used).
struct AttenuationTables {
    EnergyTable MuTungsten{};
    EnergyTable MuAluminium{};
    EnergyTable MuCopper{};
};

// Reads one attenuation file: 300 records of two numbers, the first of each
// dropped (record i is bin i whatever it says), the second stored in bin i.
// Numbers after the 600th are not read. Throws DataFileError naming the file.
EnergyTable ReadAttenuationFile(const std::filesystem::path& path);
EnergyTable ReadAttenuationFile(NumberFile& file);

// Reads the three files from a folder into a fresh set of tables; on any
// failure nothing is returned and DataFileError names the file.
// The text of a file of this layout (the attenuation tables and
// AirKerma.dat): "energy_keV,value" for bins 1..300, "%.1f,%.6e" in the "C"
// locale.
std::string BinTableText(const EnergyTable& table);

AttenuationTables ReadAttenuationTables(const std::filesystem::path& folder);

} // namespace veltrim
