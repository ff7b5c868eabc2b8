// veltrim-kernels: computes the scatter kernels of a phantom medium by Monte
// Carlo and writes one file per node energy. See data/PDS-data/README.md.

#include "core/CFormat.h"
#include "core/FileReplacing.h"
#include "core/LookUp.h"
#include "tools/mc/DirectMain.h"
#include "tools/mc/DivergentKernels.h"
#include "tools/mc/FocusReport.h"
#include "tools/mc/FocusRun.h"
#include "tools/mc/KernelFile.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/MediumMaterial.h"
#include "tools/mc/RunReport.h"
#include "tools/mc/SlabTally.h"
#include "tools/mc/SurfaceMain.h"
#include "tools/mc/TissueModel.h"
#include "tools/mc/ToolOptions.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace veltrim;
using namespace veltrim::mc;

constexpr const char* kUsage =
    "usage: veltrim-kernels --out DIR [options]\n"
    "  --energies LIST     node energies in keV, comma-separated whole numbers (default "
    "10,15,...,150)\n"
    "  --seed N            seed of the whole set (default 20261206)\n"
    "  --threads N         worker threads (default 2)\n"
    "  --batch N           histories per batch (default 20000)\n"
    "  --target S          stop an energy once every row whose scatter exceeds 1e-4 of row 1's has "
    "a\n"
    "                      relative 1-sigma below S (default 0.0025)\n"
    "  --min-batches N     batches run before the target is tested (default 20)\n"
    "  --max-histories N   histories per energy at most (default 400000000)\n"
    "  --histories N       run exactly N histories per energy (rounded up to whole batches), no "
    "target\n"
    "  --medium M          phantom material: icru-4 (default), icru-44, water or pmma\n"
    "  --radius R, --thickness T   phantom size in cm (default 60, 60)\n"
    "  --importance F      depth importance grows as exp(F x mu(E) x z), F = 0 for analog "
    "transport\n"
    "                      (default 0.6)\n"
    "  --importance-span L ... up to the depth where F x mu(E) x z = L, at most 40 cm (default "
    "12)\n"
    "  --fsd LIST          kernels of a point focus at each FSD of LIST (whole cm, comma-\n"
    "                      separated), instead of the parallel beam, from the same pencil-beam\n"
    "                      histories; written to DIR/<F>/<E>.dat. The target then applies to\n"
    "                      every set's rows whose scatter exceeds 1e-3 of row 1's\n"
    "  --next-event F      kernels of a point focus F cm above the surface by a next-event\n"
    "                      estimator on the axis (a slow, independent check; defaults:\n"
    "                      --importance 0.3, --batch 5000, --min-batches 10)\n"
    "  --entry-scale L     with --next-event: entry radii drawn with density exp(-r / L), L in\n"
    "                      cm (default 8; 0 draws them uniformly)\n"
    "  --slabs LIST        also the kernels of slabs LIST cm thick (whole cm, comma-separated)\n"
    "                      from the same histories: DIR/slab-<T>/<E>.dat, DIR/slabs.csv\n"
    "  --exit-ratio LIST   with --slabs: the slab of T cm over the thick phantom by rows from the\n"
    "                      exit, for each T of LIST (among the slabs), DIR/exit-<T>/<E>.dat\n"
    "Writes DIR/<E>.dat for each energy, DIR/runs.csv and DIR/statistics.csv.\n"
    "veltrim-kernels direct --help: the depth dose of one beam by direct Monte Carlo.\n"
    "veltrim-kernels surface --help: the scatter kerma at the entrance surface per ring.\n";

struct Options {
    std::filesystem::path Out;
    std::vector<int> Energies;
    std::uint64_t Seed = 20261206;
    unsigned Threads = 2;
    std::uint64_t Batch = 20000;
    double Target = 0.0025;
    std::uint64_t MinBatches = 20;
    std::uint64_t MaxHistories = 400000000;
    std::uint64_t FixedHistories = 0;
    double Radius = 60.0;
    double Thickness = 60.0;
    double ImportanceFactor = 0.6;
    double ImportanceSpan = 12.0;
    std::vector<double> Fsds; // point-focus sets by reciprocity
    double Fsd = 0.0;         // next-event estimator; 0: not asked for
    double EntryScale = 8.0;
    Medium Material = Medium::IcruFourComponent;
    std::vector<double> Slabs;      // finite slabs scored beside the thick phantom
    std::vector<double> ExitRatios; // slabs whose exit-ratio set is written
    bool ImportanceSet = false, BatchSet = false, MinBatchesSet = false;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "veltrim-kernels: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

// A comma-separated list of whole numbers from low to high.
std::vector<double> ParseWholeNumbers(const std::string& value, const std::string& option,
                                      double low, double high, const std::string& what) {
    std::vector<double> numbers;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const double x = NumberOrRefuse(value.substr(start, comma - start), option, Fail);
        if (x != std::floor(x) || x < low || x > high) {
            Fail(what + " from " + FormatC("%.0f", low) + " to " + FormatC("%.0f", high) + ": " +
                 value);
        }
        numbers.push_back(x);
        start = comma + 1;
    }
    return numbers;
}

// The options that set one count or one number of the run.
std::optional<std::uint64_t Options::*> CountOption(const std::string& name) {
    static const std::pair<const char*, std::uint64_t Options::*> options[] = {
        {"--seed", &Options::Seed},
        {"--batch", &Options::Batch},
        {"--min-batches", &Options::MinBatches},
        {"--max-histories", &Options::MaxHistories},
        {"--histories", &Options::FixedHistories},
    };
    return LookUp(options, name);
}

std::optional<double Options::*> NumberOption(const std::string& name) {
    static const std::pair<const char*, double Options::*> options[] = {
        {"--target", &Options::Target},
        {"--importance", &Options::ImportanceFactor},
        {"--importance-span", &Options::ImportanceSpan},
        {"--radius", &Options::Radius},
        {"--next-event", &Options::Fsd},
        {"--entry-scale", &Options::EntryScale},
        {"--thickness", &Options::Thickness},
    };
    return LookUp(options, name);
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        const std::string value = OptionValue(argc, argv, k, kUsage, Fail);
        if (option == "--out") {
            o.Out = value;
        } else if (option == "--fsd") {
            o.Fsds =
                ParseWholeNumbers(value, option, 10.0, 100000.0, "FSDs are whole numbers of cm");
        } else if (option == "--slabs") {
            o.Slabs = ParseWholeNumbers(value, option, 1.0, 59.0, "slabs are whole numbers of cm");
        } else if (option == "--exit-ratio") {
            o.ExitRatios =
                ParseWholeNumbers(value, option, 1.0, 59.0, "slabs are whole numbers of cm");
        } else if (option == "--energies") {
            for (const double e : ParseWholeNumbers(value, option, 2.0, 150.0,
                                                    "node energies are whole numbers of keV")) {
                o.Energies.push_back(static_cast<int>(e));
            }
        } else if (option == "--medium") {
            o.Material = MediumOrRefuse(value, Fail);
        } else if (option == "--threads") {
            o.Threads = static_cast<unsigned>(CountOrRefuse(value, option, Fail));
        } else if (const auto count = CountOption(option)) {
            o.*(*count) = CountOrRefuse(value, option, Fail);
            o.BatchSet = o.BatchSet || option == "--batch";
            o.MinBatchesSet = o.MinBatchesSet || option == "--min-batches";
        } else if (const auto number = NumberOption(option)) {
            o.*(*number) = NumberOrRefuse(value, option, Fail);
            o.ImportanceSet = o.ImportanceSet || option == "--importance";
        } else {
            Fail("unknown option " + option);
        }
    }
    if (o.Out.empty()) {
        Fail("--out is required");
    }
    if (o.Fsd != 0.0 && o.Fsd < 10.0) {
        Fail("--next-event is at least 10 cm");
    }
    if (o.Fsd != 0.0 && !o.Fsds.empty()) {
        Fail("--fsd and --next-event are separate runs");
    }
    if (o.Fsd != 0.0) {
        o.ImportanceFactor = o.ImportanceSet ? o.ImportanceFactor : 0.3;
        o.Batch = o.BatchSet ? o.Batch : 5000;
        o.MinBatches = o.MinBatchesSet ? o.MinBatches : 10;
    }
    for (const double t : o.ExitRatios) {
        if (std::find(o.Slabs.begin(), o.Slabs.end(), t) == o.Slabs.end()) {
            Fail("each --exit-ratio must be one of --slabs");
        }
    }
    if (!o.Slabs.empty() && (o.Fsd != 0.0 || !o.Fsds.empty())) {
        Fail("--slabs is a parallel-beam run");
    }
    if (o.Energies.empty()) {
        for (int e = 10; e <= 150; e += 5) {
            o.Energies.push_back(e);
        }
    }
    return o;
}

// Whether each slab's exit-ratio set is asked for.
std::vector<bool> ExitRatioWanted(const Options& o) {
    std::vector<bool> wanted;
    for (const double t : o.Slabs) {
        wanted.push_back(std::find(o.ExitRatios.begin(), o.ExitRatios.end(), t) !=
                         o.ExitRatios.end());
    }
    return wanted;
}

} // namespace

// The batches, streams, phantom, depth splitting and stopping rule of one
// node energy, the same for the pencil beam and the point focus.
template <class Settings>
Settings BatchSettings(const Options& o, const TissueModel& tissue, int energy) {
    Settings s;
    s.Seed = o.Seed;
    s.StreamNumber = static_cast<unsigned>(energy);
    s.BatchHistories = o.Batch;
    s.Threads = o.Threads;
    s.Geometry = Phantom{o.Radius, o.Thickness};
    s.Importance =
        DepthImportanceFor(tissue.At(energy).Total(), o.ImportanceFactor, o.ImportanceSpan);
    if (o.FixedHistories > 0) {
        s.MaxBatches = (o.FixedHistories + o.Batch - 1) / o.Batch;
        s.TargetUncertainty = 0.0;
    } else {
        s.MaxBatches = std::max<std::uint64_t>(1, o.MaxHistories / o.Batch);
        s.MinBatches = o.MinBatches;
        s.TargetUncertainty = o.Target;
    }
    return s;
}

// One node energy of a point-focus set: the entry radius runs out to where
// ring 80 meets the plane of row 1's middle.
void RunFocusEnergy(const Options& o, const TissueModel& tissue, const AxisEstimator& estimator,
                    int energy, std::string& runs, std::string& rows, double& totalSeconds) {
    const Focus focus{o.Fsd};
    const double firstMiddle = 0.5 * CellGrid::kRowThickness;
    const double maxEntry = CellGrid::kRings * CellGrid::kRingWidth * o.Fsd / (o.Fsd + firstMiddle);
    const RingSource source(focus, energy, maxEntry, o.EntryScale);
    const auto s = BatchSettings<FocusRunSettings>(o, tissue, energy);
    const auto start = std::chrono::steady_clock::now();
    const FocusTally tally = RunFocus(
        tissue, estimator, focus, [&](RandomStream& r) { return source.Sample(r); }, s);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    totalSeconds += seconds;
    ReplaceFileOrThrow(o.Out / KernelFile(energy), KernelFileText(FocusKernel(tally, focus)));
    runs += FocusRunLine(energy, tally, s.ScatterFloor);
    rows += FocusRowLines(energy, tally, focus);
    ReplaceFileOrThrow(o.Out / "runs.csv", runs);
    ReplaceFileOrThrow(o.Out / "statistics.csv", rows);
    const RowStatistics worst = FocusRowStatistics(tally, s.ScatterFloor, tally.Rows());
    std::fprintf(stderr,
                 "%3d keV: %10llu histories in %7.1f s (%.0f histories/s/thread), worst scatter "
                 "row sum %.3f %% (row %d of %d tested)\n",
                 energy, static_cast<unsigned long long>(tally.Histories()), seconds,
                 static_cast<double>(tally.Histories()) / seconds / std::max(1u, o.Threads),
                 100.0 * worst.WorstUncertainty, worst.WorstRow, worst.RowsTested);
}

// One node energy of the point-focus sets of --fsd, all from the same
// pencil-beam histories.
void RunDivergentEnergy(const Options& o, const TissueModel& tissue, int energy, std::string& runs,
                        std::string& rows, double& totalSeconds) {
    auto s = BatchSettings<RunSettings>(o, tissue, energy);
    s.Energy = energy;
    s.ScatterFloor = 1e-3;
    const auto start = std::chrono::steady_clock::now();
    const DivergentKernelTally tally = RunDivergentKernels(tissue, s, o.Fsds);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    totalSeconds += seconds;
    for (std::size_t k = 0; k < o.Fsds.size(); ++k) {
        const std::filesystem::path folder = o.Out / FormatC("%.0f", o.Fsds[k]);
        std::filesystem::create_directories(folder);
        ReplaceFileOrThrow(folder / KernelFile(energy), KernelFileText(DivergentKernel(tally, k)));
    }
    runs += DivergentRunLines(energy, tally, s.ScatterFloor);
    rows += DivergentRowLines(energy, tally);
    ReplaceFileOrThrow(o.Out / "runs.csv", runs);
    ReplaceFileOrThrow(o.Out / "statistics.csv", rows);
    const RowStatistics worst = DivergentRowStatistics(tally, s.ScatterFloor);
    std::fprintf(stderr,
                 "%3d keV: %12llu histories in %8.1f s (%.0f histories/s/thread), worst scatter "
                 "row sum of %zu sets %.3f %% (row %d, %d rows tested)\n",
                 energy, static_cast<unsigned long long>(tally.Histories()), seconds,
                 static_cast<double>(tally.Histories()) / seconds / std::max(1u, o.Threads),
                 o.Fsds.size(), 100.0 * worst.WorstUncertainty, worst.WorstRow, worst.RowsTested);
}

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "direct") {
        return DirectMain(argc - 1, argv + 1);
    }
    if (argc > 1 && std::string(argv[1]) == "surface") {
        return SurfaceMain(argc - 1, argv + 1);
    }
    const Options o = ParseOptions(argc, argv);
    try {
        std::filesystem::create_directories(o.Out);
        const auto setupStart = std::chrono::steady_clock::now();
        const TissueModel tissue(MediumMaterial(o.Material));
        std::fprintf(
            stderr, "xraylib %s, tables ready in %.2f s\n", veltrim::xrl::Version().c_str(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - setupStart).count());

        std::string runs = o.Fsd != 0.0 ? FocusRunHeader() : RunSummaryHeader();
        std::string rows = o.Fsd != 0.0 ? FocusRowHeader() : RowStatisticsHeader();
        double totalSeconds = 0.0;
        std::string lost = SlabLostHeader();
        // The estimator's tables take a moment; a parallel set does not need them.
        std::optional<AxisEstimator> estimator;
        if (o.Fsd != 0.0) {
            estimator.emplace(tissue);
        }
        if (!o.Fsds.empty()) {
            runs = DivergentRunHeader();
            rows = DivergentRowHeader();
        }
        for (const int energy : o.Energies) {
            if (estimator) {
                RunFocusEnergy(o, tissue, *estimator, energy, runs, rows, totalSeconds);
                continue;
            }
            if (!o.Fsds.empty()) {
                RunDivergentEnergy(o, tissue, energy, runs, rows, totalSeconds);
                continue;
            }
            auto s = BatchSettings<RunSettings>(o, tissue, energy);
            s.Energy = energy;
            const auto start = std::chrono::steady_clock::now();
            std::optional<SlabKernelTally> slabs;
            if (!o.Slabs.empty()) {
                slabs.emplace(RunSlabKernels(tissue, s, o.Slabs));
                WriteSlabFiles(o.Out, energy, *slabs, ExitRatioWanted(o), lost);
                ReplaceFileOrThrow(o.Out / "slabs.csv", lost);
            }
            const KernelTally tally = slabs ? slabs->Whole() : RunKernel(tissue, s);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            totalSeconds += seconds;

            ReplaceFileOrThrow(o.Out / KernelFile(energy), KernelFileText(ScatterKernel(tally)));
            runs += RunSummaryLine(energy, tally, s.ScatterFloor);
            rows += RowStatisticsLines(energy, tally);
            ReplaceFileOrThrow(o.Out / "runs.csv", runs);
            ReplaceFileOrThrow(o.Out / "statistics.csv", rows);

            const RowStatistics worst = ScatterRowStatistics(tally, s.ScatterFloor);
            std::fprintf(
                stderr,
                "%3d keV: %12llu histories in %8.1f s (%.0f histories/s/thread), worst scatter row "
                "sum %.3f %% (row %d of %d tested)\n",
                energy, static_cast<unsigned long long>(tally.Histories()), seconds,
                static_cast<double>(tally.Histories()) / seconds / std::max(1u, o.Threads),
                100.0 * worst.WorstUncertainty, worst.WorstRow, worst.RowsTested);
        }
        std::fprintf(stderr, "total %.1f s\n", totalSeconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltrim-kernels: %s\n", e.what());
        return 1;
    }
    return 0;
}
