#pragma once

// A NIST Hubbell-Seltzer table (NIST Standard Reference Database 126,
// NISTIR 5632) as shipped in tools/datagen/nist/: comment lines starting with
// '#', one header line, then rows "energy_MeV,mu_over_rho,mu_en_over_rho"
// (cm2/g), or "energy_MeV,mu_over_rho" in every row. An absorption edge appears as two rows with
// the same energy, the value below the edge first.

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::datagen {

struct NistRow {
    double EnergyKeV = 0.0;
    double MuOverRho = 0.0;   // cm2/g
    double MuEnOverRho = 0.0; // cm2/g; 0 in a table of attenuation alone
};

struct NistTable {
    std::string Citation; // the '#' lines of the file, joined by newlines
    std::vector<NistRow> Rows;
    bool HasMuEn = true; // false: rows "energy_MeV,mu_over_rho" only
};

// Throws std::runtime_error naming the file when it cannot be read or a row
// is malformed, or when energies fall.
NistTable ReadNistTable(const std::filesystem::path& path);

} // namespace veltrim::datagen
