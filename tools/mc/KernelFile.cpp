#include "tools/mc/KernelFile.h"

#include <cstdio>
#include <fstream>
#include <locale.h>
#include <stdexcept>

namespace veltrim::mc {

std::vector<std::vector<double>> ScatterKernel(const KernelTally& tally) {
    std::vector<std::vector<double>> kernel(CellGrid::kRings,
                                            std::vector<double>(CellGrid::kRows, 0.0));
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
            kernel[ring][row] =
                tally.ScatterCells().Mean(row * CellGrid::kRings + ring, tally.Histories()) /
                kRowMassThickness;
        }
    }
    return kernel;
}

std::string KernelFileName(int energyKeV) {
    return std::to_string(energyKeV) + ".dat";
}

std::string FormatC(const char* format, double value) {
    // A private "C" locale: printf would otherwise follow the global one.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    uselocale(previous);
    return text;
}

std::string KernelFileText(const std::vector<std::vector<double>>& kernel) {
    constexpr std::size_t kPerLine = 20;
    std::string text;
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        for (std::size_t ring = 0; ring < CellGrid::kRings; ++ring) {
            const double value = kernel.at(ring).at(row);
            text += value == 0.0 ? std::string("0") : FormatC("%.6e", value);
            text += (ring + 1) % kPerLine == 0 ? "\n" : ",";
        }
    }
    return text;
}

void WriteFileAtomically(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary);
        throw std::runtime_error("cannot rename " + temporary.string() + " to " + path.string() +
                                 ": " + error.message());
    }
}

} // namespace veltrim::mc
