#pragma once

// A NIST Hubbell-Seltzer table (NIST Standard Reference Database 126,
// NISTIR 5632) as shipped in tools/datagen/nist/: comment lines starting with
// '#', one header line, then rows "energy_MeV,mu_over_rho,mu_en_over_rho"
// (cm2/g). An absorption edge appears as two rows with the same energy, the
// value below the edge first.

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::datagen {

struct NistRow {
    double EnergyKeV = 0.0;
    double MuOverRho = 0.0;   // cm2/g
    double MuEnOverRho = 0.0; // cm2/g
};

struct NistTable {
    std::string Citation; // the '#' lines of the file, joined by newlines
    std::vector<NistRow> Rows;
};

// Throws std::runtime_error naming the file when it cannot be read or a row
// is malformed, or when energies fall.
NistTable ReadNistTable(const std::filesystem::path& path);

} // namespace veltrim::datagen
