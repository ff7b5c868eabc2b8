#pragma once

// Small stand-ins for the shipped data files, shaped like the real ones (a
// photoelectric fall, a slowly falling Compton part, kernels that fade with
// depth and radius) so that the computation runs through all its branches.
// Their numbers are made up; only the layouts are those of the real files.

#include "dose/DepthDose.h"
#include "dose/SlabKernels.h"
#include "dose/SurfaceKernels.h"
#include "spectrum/AttenuationTables.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace veltrim::testing {

// ICRUSoft.dat: energies 5 keV to 200 keV, three positive partial coefficients.
inline std::string SyntheticTissueText() {
    const double energiesKeV[] = {5, 10, 15, 20, 30, 40, 50, 60, 80, 100, 150, 200};
    std::string text = "12, 0\n";
    char line[160];
    for (const double e : energiesKeV) {
        std::snprintf(line, sizeof line, "%.4f, %.6e, %.6e, %.6e\n", e / 1000, 4050.0 / (e * e * e),
                      0.03 * std::pow(30.0 / e, 1.8), 0.2 * std::pow(e / 30.0, -0.1));
        text += line;
    }
    return text;
}

// Primary.dat: 29 records "energy, factor", a smooth positive factor.
inline std::string SyntheticPrimaryText() {
    std::string text;
    char line[80];
    for (int j = 2; j <= 30; ++j) {
        const double e = 5.0 * j;
        std::snprintf(line, sizeof line, "%g, %.6e\n", e,
                      1e-3 * e * (0.03 + 40 / std::pow(e, 2.5)));
        text += line;
    }
    return text;
}

// A kernel file: 80 depth rows of 80 rings in four lines of 20; value(a, c)
// gives number (a, c).
inline std::string KernelText(const std::function<double(int, int)>& value) {
    std::string text;
    text.reserve(80 * 80 * 14);
    char number[32];
    for (int a = 1; a <= 80; ++a)
        for (int c = 1; c <= 80; ++c) {
            std::snprintf(number, sizeof number, "%.6e", value(a, c));
            text += number;
            text += c % 20 == 0 ? "\n" : ", ";
        }
    return text;
}

// The made-up kernel of a node energy: scatter that grows with energy, fades
// with depth and with the ring's distance, weighted by the ring's area.
inline double SyntheticKernel(int energyKeV, int a, int c) {
    const double z = 0.5 * a - 0.25;
    const double r = 0.5 * c - 0.25;
    return 2e-6 * std::sqrt(energyKeV) * r * std::exp(-0.08 * z - 0.12 * r);
}

// All 29 kernels in memory; value(e, a, c) gives number (a, c) of the node e keV.
inline std::unique_ptr<KernelSet>
SyntheticKernels(const std::function<double(int, int, int)>& value = SyntheticKernel) {
    auto set = std::make_unique<KernelSet>();
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5)
        for (int a = 1; a <= 80; ++a)
            for (int c = 1; c <= 80; ++c)
                set->Tables[static_cast<std::size_t>((e - FirstKernelKeV) / 5)][c][a] =
                    value(e, a, c);
    return set;
}

// The tissue tables of the made-up files, read by the program's reader.
inline TissueTables SyntheticTissue(const std::string& tissueText = SyntheticTissueText()) {
    return TissueTablesFromTexts(tissueText, SyntheticPrimaryText());
}

// A spectrum shaped like a filtered bremsstrahlung spectrum, up to `kv`.
inline EnergyTable SyntheticSpectrum(double kv) {
    EnergyTable spectrum{};
    const int top = static_cast<int>(2 * kv);
    for (int i = 21; i <= top; ++i)
        spectrum[i] = (top - i) * std::exp(-60.0 / i) / 1000;
    return spectrum;
}

// The inputs of a depth-dose calculation over the made-up data, in memory.
struct SyntheticBeam {
    explicit SyntheticBeam(const std::function<double(int, int, int)>& kernel = SyntheticKernel)
        : kernels(SyntheticKernels(kernel)) {}
    EnergyTable spectrum{};
    TissueTables tissue = SyntheticTissue();
    std::unique_ptr<KernelSet> kernels;
    IrradiationConditions conditions;

    // The tube voltage and the geometry, and the spectrum up to the voltage.
    void SetConditions(double kv, double fsd, double fieldX, double fieldY) {
        conditions.TubeVoltage = kv;
        conditions.Fsd = fsd;
        conditions.FieldX = fieldX;
        conditions.FieldY = fieldY;
        spectrum = SyntheticSpectrum(kv);
    }
};

// Three attenuation tables (300 records "energy, mu") shaped like W, Al, Cu.
inline std::string SyntheticAttenuationText(double density, double scale, double floor,
                                            int edgeBin) {
    std::string text;
    char line[80];
    for (int i = 1; i <= 300; ++i) {
        const double e = 0.5 * i;
        const double mu = density * scale * std::pow(e, -2.8) * (i >= edgeBin ? 5 : 1) + floor;
        std::snprintf(line, sizeof line, "%.1f, %.6e\n", e, mu);
        text += line;
    }
    return text;
}

inline void WriteFile(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// The tissue files and all 29 kernels in `folder`.
inline void WriteSyntheticDoseData(const std::filesystem::path& folder) {
    WriteFile(folder / "ICRUSoft.dat", SyntheticTissueText());
    WriteFile(folder / "Primary.dat", SyntheticPrimaryText());
    for (int e = 10; e <= 150; e += 5)
        WriteFile(folder / KernelFolder / KernelFile(e),
                  KernelText([e](int a, int c) { return SyntheticKernel(e, a, c); }));
}

// The surface kernels of a node energy: air scatter kerma that falls off
// with the ring's radius, summing over a wide field to a backscatter share
// of the air kerma that grows with energy, as measured ones do; the tissue
// a tenth above the air.
inline SurfaceKernel SyntheticSurfaceKernel(int energyKeV) {
    const double e = energyKeV;
    const double airKermaPerFluence = 1.7 + 1.1e5 / (e * e * e); // keV cm2/g, roughly E mu_en/rho
    const double share = 0.45 * (1 - std::exp(-e / 40));
    SurfaceKernel kernel;
    for (int c = 1; c <= 80; ++c) {
        const double r = 0.5 * c - 0.25;
        kernel.Air[static_cast<std::size_t>(c)] =
            share * airKermaPerFluence * 0.125 * std::exp(-0.25 * r);
        kernel.Tissue[static_cast<std::size_t>(c)] = 1.1 * kernel.Air[static_cast<std::size_t>(c)];
    }
    return kernel;
}

// The 29 surface kernel files in `folder`.
inline void WriteSyntheticSurfaceData(const std::filesystem::path& folder) {
    for (int e = 10; e <= 150; e += 5)
        WriteFile(folder / SurfaceKernelFolder / KernelFile(e),
                  SurfaceKernelFileText(SyntheticSurfaceKernel(e)));
}

// Exit-ratio sets of the 10-, 20- and 30-cm slabs in `folder`: a tenth of
// the scatter missing in each slab's own layers, none beyond them.
inline void WriteSyntheticExitRatios(const std::filesystem::path& folder) {
    for (const int slab : {10, 20, 30})
        for (int e = 10; e <= 150; e += 5)
            WriteFile(folder / ExitRatioFolder / std::to_string(slab) / KernelFile(e),
                      KernelText([slab](int j, int) { return j <= 2 * slab ? 0.9 : 1.0; }));
}

// Everything the program reads: attenuation tables, tissue files, kernels.
inline void WriteSyntheticData(const std::filesystem::path& folder) {
    WriteFile(folder / TungstenFile, SyntheticAttenuationText(19.3, 5000, 0, 140));
    WriteFile(folder / AluminiumFile, SyntheticAttenuationText(2.7, 800, 0.4, 1000));
    WriteFile(folder / CopperFile, SyntheticAttenuationText(8.96, 9000, 1.0, 1000));
    WriteSyntheticDoseData(folder);
}

} // namespace veltrim::testing
