// A primary-dose file of arbitrary bytes either gives 29 positive finite node
// factors and a table on the 0.5-keV grid that is finite everywhere, or fails
// with a message naming the file.
#include "core/DataFile.h"
#include "dose/TissueTables.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrim::NumberFile file("Primary.dat", std::string(reinterpret_cast<const char*>(data), size));
    try {
        const veltrim::PrimaryDoseNodeTable nodes = veltrim::ReadPrimaryDoseFile(file);
        for (int j = 2; j <= 30; ++j)
            if (!(nodes[j] > 0) || !std::isfinite(nodes[j]))
                std::abort();
        if (file.Count() != 58)
            std::abort();
        const veltrim::EnergyTable table = veltrim::BuildPrimaryDoseTable(nodes);
        for (int i = 21; i <= 300; ++i)
            if (!std::isfinite(table[i]) || table[i] < 0)
                std::abort();
    } catch (const veltrim::DataFileError& e) {
        if (std::string(e.what()).find("Primary.dat") == std::string::npos)
            std::abort();
    }
    return 0;
}
