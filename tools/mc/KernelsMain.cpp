// veltrim-kernels: computes the scatter kernels of a phantom medium by Monte
// Carlo and writes one file per node energy. See data/PDS-data/README.md.

#include "core/CFormat.h"
#include "core/FileReplacing.h"
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

struct Options : RunOptions, PhantomOptions {
    std::vector<int> Energies;
    double Radius = 60.0;
    std::vector<double> Fsds; // point-focus sets by reciprocity
    double Fsd = 0.0;         // next-event estimator; 0: not asked for
    double EntryScale = 8.0;
    std::vector<double> Slabs;      // finite slabs scored beside the thick phantom
    std::vector<double> ExitRatios; // slabs whose exit-ratio set is written
};

// The defaults of a set: the parallel beam's, or with --next-event the
// slower estimator's, which wants smaller batches and less splitting.
Options Defaults(bool nextEvent) {
    Options o;
    o.Seed = 20261206;
    o.Batch = nextEvent ? 5000 : 20000;
    o.MinBatches = nextEvent ? 10 : 20;
    o.MaxHistories = 400000000;
    o.Target = 0.0025;
    o.ImportanceFactor = nextEvent ? 0.3 : 0.6;
    return o;
}

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

void SetFsds(Options& o, const std::string& name, const std::string& value, Refusal) {
    o.Fsds = ParseWholeNumbers(value, name, 10.0, 100000.0, "FSDs are whole numbers of cm");
}

// Slabs thinner than the phantom's 60 cm.
template <std::vector<double> Options::*Field>
void SetSlabs(Options& o, const std::string& name, const std::string& value, Refusal) {
    o.*Field = ParseWholeNumbers(value, name, 1.0, 59.0, "slabs are whole numbers of cm");
}

void SetEnergies(Options& o, const std::string& name, const std::string& value, Refusal) {
    for (const double e :
         ParseWholeNumbers(value, name, 2.0, 150.0, "node energies are whole numbers of keV")) {
        o.Energies.push_back(static_cast<int>(e));
    }
}

constexpr OptionRow<Options> kOptions[] = {
    {"--energies", SetEnergies},
    {"--min-batches", SetCount<&Options::MinBatches>},
    {"--radius", SetNumber<&Options::Radius>},
    {"--fsd", SetFsds},
    {"--next-event", SetNumber<&Options::Fsd>},
    {"--entry-scale", SetNumber<&Options::EntryScale>},
    {"--slabs", SetSlabs<&Options::Slabs>},
    {"--exit-ratio", SetSlabs<&Options::ExitRatios>},
};

Options ParseOptions(int argc, char** argv) {
    Options o =
        ReadToolOptions(argc, argv, kUsage, Fail, Defaults(false), kOptions, kPhantomOptions);
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
        // Read again over the estimator's defaults: what the line gives stays.
        o = ReadToolOptions(argc, argv, kUsage, Fail, Defaults(true), kOptions, kPhantomOptions);
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
        o.Energies = DefaultNodeEnergies();
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
    o.ApplyTo(s);
    s.StreamNumber = static_cast<unsigned>(energy);
    s.Geometry = Phantom{o.Radius, o.Thickness};
    s.Importance =
        DepthImportanceFor(tissue.At(energy).Total(), o.ImportanceFactor, o.ImportanceSpan);
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
                 static_cast<double>(tally.Histories()) / seconds / std::max(1u, s.Threads),
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
                 static_cast<double>(tally.Histories()) / seconds / std::max(1u, s.Threads),
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
                static_cast<double>(tally.Histories()) / seconds / std::max(1u, s.Threads),
                100.0 * worst.WorstUncertainty, worst.WorstRow, worst.RowsTested);
        }
        std::fprintf(stderr, "total %.1f s\n", totalSeconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltrim-kernels: %s\n", e.what());
        return 1;
    }
    return 0;
}
