#pragma once

#include "core/Grids.h"

#include <string>

namespace veltrim {

// The header line of a saved spectrum.
inline constexpr const char* SpectrumCsvHeader = "bin,energy_keV,fraction";

// A spectrum as the user saves it: the header, then bins 1..300, one line
// "bin,energy,fraction" each, the numbers to full precision ("%.17g") so
// that reading them back gives the same doubles. Lines end in a line feed.
std::string SpectrumCsvBytes(const EnergyTable& spectrum);

} // namespace veltrim
