#include "spectrum/SpectrumCsv.h"

#include "core/CFormat.h"

namespace veltrim {

std::string SpectrumCsvBytes(const EnergyTable& spectrum) {
    std::string bytes = SpectrumCsvHeader;
    bytes += '\n';
    bytes.reserve(EnergyBinCount * 40);
    // Bin 0 (0 keV) holds no photons and is left out, as in every table read.
    for (int i = 1; i < EnergyBinCount; ++i) {
        bytes += FormatC("%d,%.17g,%.17g\n", i, 0.5 * i, spectrum[static_cast<std::size_t>(i)]);
    }
    return bytes;
}

} // namespace veltrim
