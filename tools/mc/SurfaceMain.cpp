// veltrim-kernels surface: the scatter kerma in tissue and in air at the
// entrance surface per node energy and ring. See data/PDS-surface/README.md.

#include "tools/mc/SurfaceMain.h"

#include "core/CFormat.h"
#include "core/FileReplacing.h"
#include "tools/mc/MediumMaterial.h"
#include "tools/mc/SurfaceRun.h"
#include "tools/mc/ToolOptions.h"
#include "tools/xrl/XrayLib.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrim::mc {
namespace {

constexpr const char* kSurfaceUsage =
    "usage: veltrim-kernels surface --data DIR --out DIR [options]\n"
    "  --data DIR          the data folder: Primary.dat and AirKerma.dat give mu_en/rho\n"
    "  --medium M          phantom material: icru-4 (default), icru-44, water or pmma; its\n"
    "                      Primary.dat is the one in DIR/media/M/\n"
    "  --energies LIST     node energies in keV, comma-separated whole numbers (default "
    "10,15,...,150)\n"
    "  --layer T           thickness of the surface layer, cm (default 0.001)\n"
    "  --seed N --threads N --batch N   (default 20261209, 2, 20000)\n"
    "  --target S          stop an energy once the scatter kerma summed over rings 1-40 has a\n"
    "                      relative 1-sigma below S in tissue and in air (default 0.001)\n"
    "  --min-batches N     batches run before the target is tested (default 20)\n"
    "  --max-histories N   histories per energy at most (default 1000000000)\n"
    "  --histories N       run exactly N histories per energy, no target\n"
    "Analog transport in the kernels' phantom (60 cm radius, 60 cm thick). Writes DIR/<E>.dat,\n"
    "DIR/runs.csv and DIR/statistics.csv.\n";

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "veltrim-kernels surface: %s\n%s", message.c_str(), kSurfaceUsage);
    std::exit(2);
}

struct SurfaceOptions : RunOptions {
    std::filesystem::path Data;
    std::vector<int> Energies;
    double Layer = SurfaceLayer{}.Thickness;
};

void SetEnergies(SurfaceOptions& o, const std::string&, const std::string& value, Refusal) {
    for (std::size_t start = 0; start <= value.size();) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::optional<std::uint64_t> e = ReadCount(value.substr(start, comma - start));
        if (!e || *e < 2 || *e > 150) {
            Fail("node energies are whole numbers of keV from 2 to 150: " + value);
        }
        o.Energies.push_back(static_cast<int>(*e));
        start = comma + 1;
    }
}

constexpr OptionRow<SurfaceOptions> kSurfaceOptions[] = {
    {"--data", SetText<&SurfaceOptions::Data>},
    {"--energies", SetEnergies},
    {"--layer", SetNumber<&SurfaceOptions::Layer>},
    {"--min-batches", SetCount<&SurfaceOptions::MinBatches>},
};

SurfaceOptions ParseSurfaceOptions(int argc, char** argv) {
    SurfaceOptions defaults;
    defaults.Seed = 20261209;
    defaults.MaxHistories = 1000000000;
    defaults.Target = 0.001;
    SurfaceOptions o = ReadToolOptions(argc, argv, kSurfaceUsage, Fail, defaults, kSurfaceOptions);
    if (o.Data.empty() || o.Out.empty()) {
        Fail("--data and --out are required");
    }
    if (!(o.Layer > 0.0 && o.Layer <= 0.5)) {
        Fail("--layer is above 0 and at most 0.5 cm");
    }
    if (o.Energies.empty()) {
        o.Energies = DefaultNodeEnergies();
    }
    return o;
}

} // namespace

int SurfaceMain(int argc, char** argv) {
    const SurfaceOptions o = ParseSurfaceOptions(argc, argv);
    try {
        std::filesystem::create_directories(o.Out);
        const KermaFactors kerma = KermaFactors::Read(o.Data, o.Material);
        const TissueModel tissue(MediumMaterial(o.Material));
        const SurfaceLayer layer{o.Layer};
        std::string runs = SurfaceRunHeader();
        std::string rings = SurfaceRingHeader();
        double totalSeconds = 0.0;
        for (const int energy : o.Energies) {
            RunSettings s;
            o.ApplyTo(s);
            s.Energy = energy;
            s.StreamNumber = static_cast<unsigned>(energy);
            const auto start = std::chrono::steady_clock::now();
            const SurfaceTally tally = RunSurface(tissue, kerma, layer, s);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            totalSeconds += seconds;
            ReplaceFileOrThrow(o.Out / FormatC("%d.dat", energy), SurfaceFileText(tally));
            runs += SurfaceRunLine(energy, tally, kerma, tissue.At(energy).Total());
            rings += SurfaceRingLines(energy, tally);
            ReplaceFileOrThrow(o.Out / "runs.csv", runs);
            ReplaceFileOrThrow(o.Out / "statistics.csv", rings);
            std::fprintf(stderr,
                         "%3d keV: %11llu histories in %7.1f s, rings 1-40 relative 1-sigma %.3f "
                         "%% (larger of tissue and air)\n",
                         energy, static_cast<unsigned long long>(tally.Histories()), seconds,
                         100.0 * SurfaceWorstUncertainty(tally));
        }
        std::fprintf(stderr, "total %.1f s\n", totalSeconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltrim-kernels surface: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace veltrim::mc
