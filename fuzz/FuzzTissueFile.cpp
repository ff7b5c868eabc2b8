// A tissue file of arbitrary bytes either fills rows 1..N (N from 1 to 37)
// with finite numbers and leaves the rows above N as they were, or fails with
// a message naming the file and leaves every row as it was.
#include "core/DataFile.h"
#include "dose/TissueTables.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool SameRow(const veltrim::TissueRow& a, const veltrim::TissueRow& b) {
    return a.MuPart1 == b.MuPart1 && a.MuPart2 == b.MuPart2 && a.MuPart3 == b.MuPart3 &&
           a.EnergyKeV == b.EnergyKeV;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrim::NumberFile file("ICRUSoft.dat",
                             std::string(reinterpret_cast<const char*>(data), size));
    // Rows an earlier calculation left behind: -1 in every column.
    veltrim::TissueRows earlier;
    earlier.fill({-1.0, -1.0, -1.0, -1.0});
    veltrim::TissueRows rows = earlier;
    try {
        const int n = veltrim::ReadTissueFile(file, rows);
        if (n < 1 || n > veltrim::TissueRowCapacity)
            std::abort();
        for (int r = 1; r <= n; ++r)
            if (!std::isfinite(rows[r].MuPart1) || !std::isfinite(rows[r].MuPart2) ||
                !std::isfinite(rows[r].MuPart3) || !std::isfinite(rows[r].EnergyKeV))
                std::abort();
        for (int r = n + 1; r <= veltrim::TissueRowCapacity; ++r)
            if (!SameRow(rows[r], earlier[r]))
                std::abort();
        if (file.Count() != 2 + 4 * static_cast<std::size_t>(n))
            std::abort();
    } catch (const veltrim::DataFileError& e) {
        if (std::string(e.what()).find("ICRUSoft.dat") == std::string::npos)
            std::abort();
        for (int r = 0; r <= veltrim::TissueRowCapacity; ++r)
            if (!SameRow(rows[r], earlier[r]))
                std::abort();
    }
    return 0;
}
