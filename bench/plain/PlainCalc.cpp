// The yardstick of the whole-process benchmark: the default 80 kV depth dose
// from the files veltrim-calc reads, each read whole and converted with
// strtod (or std::from_chars with --from-chars), the simplest correct reader
// there is. Only the reading differs from veltrim-calc; the calculation is the
// library's own, and the table printed is the one `veltrim-calc --precise`
// prints.
#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "dose/ScatterKernels.h"
#include "dose/TissueTables.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/SynthesizeSpectrum.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool UseFromChars = false;

// Every number of the file, which must hold at least `count`.
std::vector<double> ReadNumbers(const fs::path& path, std::size_t count) {
    std::string text(fs::file_size(path), '\0');
    std::ifstream in(path, std::ios::binary);
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size())))
        throw std::runtime_error(path.string() + ": cannot be read");
    std::vector<double> numbers;
    const char* p = text.c_str();
    const char* const end = p + text.size();
    for (p += std::strspn(p, ", \t\r\n"); p != end; p += std::strspn(p, ", \t\r\n")) {
        double value = 0.0;
        const char* after = p;
        if (UseFromChars) {
            after = std::from_chars(p, end, value).ptr;
        } else {
            char* stop = nullptr;
            value = std::strtod(p, &stop);
            after = stop;
        }
        if (after == p)
            throw std::runtime_error(path.string() + ": not a number");
        numbers.push_back(value);
        p = after;
    }
    if (numbers.size() < count)
        throw std::runtime_error(path.string() + ": too few numbers");
    return numbers;
}

veltrim::EnergyTable AttenuationTable(const fs::path& path) {
    const std::vector<double> numbers = ReadNumbers(path, 600);
    veltrim::EnergyTable table{};
    for (int i = 1; i <= 300; ++i)
        table[i] = numbers[2 * i - 1];
    return table;
}

veltrim::TissueTables Tissue(const fs::path& data) {
    const std::vector<double> numbers = ReadNumbers(data / veltrim::TissueFile, 2);
    const int count = static_cast<int>(numbers[0]);
    if (count < 1 || count > veltrim::TissueRowCapacity ||
        numbers.size() < 2 + 4 * static_cast<std::size_t>(count))
        throw std::runtime_error("ICRUSoft.dat: bad row count");
    veltrim::TissueRows rows{};
    for (int r = 1; r <= count; ++r) {
        const double* row = &numbers[2 + 4 * static_cast<std::size_t>(r - 1)];
        rows[r] = {row[1], row[2], row[3], row[0] * 1000};
    }
    const std::vector<double> primary = ReadNumbers(data / veltrim::PrimaryDoseFile, 58);
    veltrim::PrimaryDoseNodeTable nodes{};
    for (int j = 2; j <= 30; ++j)
        nodes[j] = primary[2 * (j - 2) + 1];
    return veltrim::MakeTissueTables(rows, count, nodes);
}

std::unique_ptr<veltrim::KernelSet> Kernels(const fs::path& data) {
    auto set = std::make_unique<veltrim::KernelSet>();
    for (int e = veltrim::FirstKernelKeV; e <= veltrim::LastKernelKeV; e += 5) {
        const std::vector<double> numbers =
            ReadNumbers(data / veltrim::KernelFolder / veltrim::KernelFile(e), 80 * 80);
        auto& kernel = set->Tables[static_cast<std::size_t>((e - veltrim::FirstKernelKeV) / 5)];
        for (int a = 1; a <= 80; ++a)
            for (int c = 1; c <= 80; ++c)
                kernel[c][a] = numbers[static_cast<std::size_t>((a - 1) * 80 + (c - 1))];
    }
    return set;
}

} // namespace

int main(int argc, char** argv) {
    UseFromChars = argc == 3 && std::strcmp(argv[1], "--from-chars") == 0;
    if (argc != 2 + UseFromChars) {
        std::fprintf(stderr, "usage: %s [--from-chars] DATA-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path data = argv[argc - 1];
    try {
        veltrim::AttenuationTables attenuation;
        attenuation.MuTungsten = AttenuationTable(data / veltrim::TungstenFile);
        attenuation.MuAluminium = AttenuationTable(data / veltrim::AluminiumFile);
        attenuation.MuCopper = AttenuationTable(data / veltrim::CopperFile);
        veltrim::IrradiationConditions conditions;
        veltrim::ReadConditions(veltrim::ConditionTexts{}, conditions);
        const double pi = 3.14159; // the model's five decimals, as veltrim-calc uses them
        const veltrim::SynthesizedSpectrum spectrum =
            veltrim::SynthesizeSpectrum(conditions, attenuation, pi);
        const veltrim::TissueTables tissue = Tissue(data);
        const std::unique_ptr<veltrim::KernelSet> kernels = Kernels(data);
        veltrim::KernelSetSource source(*kernels);
        const auto dose = std::make_unique<veltrim::DepthDoseCalculation>(
            veltrim::CalculateDepthDose(spectrum.Spectrum, tissue, source, conditions, 30.0, pi));
        std::printf("depth_cm,primary,scatter,total\n");
        for (int d = 1; d <= dose->Rows; ++d) {
            const auto& row = dose->Table[d];
            std::printf("%.17g,%.17g,%.17g,%.17g\n", 0.5 * d - 0.25, row[veltrim::PrimaryPdd],
                        row[veltrim::ScatterPdd], row[veltrim::TotalPdd]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
