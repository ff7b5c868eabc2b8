// The whole calculation (conditions to results file) and the depth-dose step
// alone, at the default conditions and at the heaviest ones: 150 kV
// single-phase, whose spectrum sums the most phase samples, with a 40 x 40 cm
// field at 100 cm, whose corner needs the most rings. The divergent-beam
// scatter model is timed on the same beams at an FSD between two of its
// kernel sets (80 cm: 75 and 100), so that every node kernel is mixed; the
// sets are read at the first calculation of a window and kept, like the
// first run's files in the page cache for the classic model.
#include "dose/DepthDose.h"
#include "tests/dose/SyntheticData.h"
#include "window/Pipeline.h"
#include "window/SharedState.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

// A folder under the temporary folder, removed at exit.
struct ScratchFolder {
    fs::path path;
    explicit ScratchFolder(const std::string& name) {
        path = fs::temp_directory_path() /
               ("veltrim-bench-" + name + "-" + std::to_string(std::random_device{}()));
        fs::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

bool ShippedDataComplete(const fs::path& folder) {
    for (int e = 10; e <= 150; e += 5)
        if (!fs::exists(folder / veltrim::KernelFolder / veltrim::KernelFile(e)))
            return false;
    return fs::exists(folder / veltrim::TungstenFile) && fs::exists(folder / "ICRUSoft.dat");
}

// The shipped data when all of it is there; otherwise made-up files of the
// same layout and size (reading and arithmetic do not depend on the values).
const fs::path& DataFolder() {
    static const ScratchFolder synthetic("data");
    static const fs::path folder = [] {
        const fs::path shipped = fs::path(VELTRIM_SOURCE_DIR) / "data";
        if (ShippedDataComplete(shipped))
            return shipped;
        veltrim::testing::WriteSyntheticData(synthetic.path);
        return synthetic.path;
    }();
    return folder;
}

const fs::path& WorkFolder() {
    static const ScratchFolder work("work");
    return work.path;
}

struct Case {
    const char* kv;
    int rectification;
    const char* field;
    const char* fsd = "100";
};
constexpr Case DefaultCase{"80", 1, "30"};
constexpr Case HeaviestCase{"150", 3, "40"};
constexpr Case DefaultAt80{"80", 1, "30", "80"};
constexpr Case HeaviestAt80{"150", 3, "40", "80"};

veltrim::ConditionTexts Texts(const Case& c) {
    veltrim::ConditionTexts texts;
    texts.TubeVoltage = c.kv;
    texts.FieldX = c.field;
    texts.FieldY = c.field;
    texts.Fsd = c.fsd;
    return texts;
}

void Pipeline(benchmark::State& run, const Case& c,
              veltrim::ScatterModel model = veltrim::ScatterModel::Classic) {
    veltrim::RecordingSink messages;
    veltrim::SharedState state(messages, DataFolder(), WorkFolder());
    state.Model = model;
    if (!state.LoadAttenuationTables()) {
        run.SkipWithError("attenuation tables");
        return;
    }
    state.SelectRectification(c.rectification);
    const veltrim::ConditionTexts texts = Texts(c);
    for (auto _ : run) {
        const veltrim::CalculationResult result = veltrim::RunCalculation(state, texts, {});
        if (result != veltrim::CalculationResult::Completed) {
            run.SkipWithError(state.DepthDoseFailureCause.c_str());
            break;
        }
        benchmark::DoNotOptimize(state.DepthDoseResult.data());
    }
    run.SetLabel(DataFolder() == fs::path(VELTRIM_SOURCE_DIR) / "data" ? "shipped data"
                                                                       : "synthetic data");
}

// The first divergent calculation of a window: a fresh state each time, so
// the two point-focus sets are read (58 files) every time.
void BM_PipelineDivergentFirstFsd80(benchmark::State& run) {
    const veltrim::ConditionTexts texts = Texts(DefaultAt80);
    for (auto _ : run) {
        veltrim::RecordingSink messages;
        veltrim::SharedState state(messages, DataFolder(), WorkFolder());
        state.Model = veltrim::ScatterModel::Divergent;
        if (!state.LoadAttenuationTables() ||
            veltrim::RunCalculation(state, texts, {}) != veltrim::CalculationResult::Completed) {
            run.SkipWithError("calculation");
            break;
        }
        benchmark::DoNotOptimize(state.DepthDoseResult.data());
    }
}

void DepthDoseOnly(benchmark::State& run, const Case& c) {
    veltrim::RecordingSink messages;
    veltrim::SharedState state(messages, DataFolder(), WorkFolder());
    state.SelectRectification(c.rectification);
    state.ReadConditions(Texts(c));
    if (!state.LoadAttenuationTables() || !state.SynthesizeSpectrum() ||
        !state.LoadTissueTables()) {
        run.SkipWithError("set-up");
        return;
    }
    const veltrim::IrradiationConditions typed = state.Conditions;
    for (auto _ : run) {
        state.Conditions = typed;
        if (!state.ComputeDepthDose()) {
            run.SkipWithError(state.DepthDoseFailureCause.c_str());
            break;
        }
        benchmark::DoNotOptimize(state.DepthDoseResult.data());
    }
}

BENCHMARK_CAPTURE(Pipeline, Default, DefaultCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pipeline, Heaviest, HeaviestCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pipeline, ClassicFsd80, DefaultAt80)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pipeline, DivergentFsd80, DefaultAt80, veltrim::ScatterModel::Divergent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PipelineDivergentFirstFsd80)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pipeline, HeaviestClassicFsd80, HeaviestAt80)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pipeline, HeaviestDivergentFsd80, HeaviestAt80, veltrim::ScatterModel::Divergent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DepthDoseOnly, Default, DefaultCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DepthDoseOnly, Heaviest, HeaviestCase)->Unit(benchmark::kMillisecond);

} // namespace
