// An attenuation file of arbitrary bytes either loads 300 finite
// coefficients or fails with a message naming the file.
#include "core/DataFile.h"
#include "spectrum/AttenuationTables.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrim::NumberFile file("Tungsten.dat",
                             std::string(reinterpret_cast<const char*>(data), size));
    try {
        const veltrim::EnergyTable table = veltrim::ReadAttenuationFile(file);
        for (int i = 1; i <= 300; ++i)
            if (!std::isfinite(table[i]))
                std::abort();
    } catch (const veltrim::DataFileError& e) {
        if (std::string(e.what()).find("Tungsten.dat") == std::string::npos)
            std::abort();
    }
    return 0;
}
