// The batch engine of veltrim-calc --batch: 1000 conditions drawn from a
// fixed seed over the whole range of the window, computed by two workers
// that share the data read once. Reports conditions per second of wall time.
#include "cli/BatchEngine.h"
#include "core/CFormat.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int ConditionCount = 1000;
constexpr int Workers = 2;

std::vector<veltrim::BatchRow> RandomRows() {
    std::mt19937 random(20260101);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    std::vector<veltrim::BatchRow> rows(ConditionCount);
    for (int i = 0; i < ConditionCount; ++i) {
        veltrim::BatchRow& row = rows[i];
        row.Number = i + 1;
        row.Texts.TubeVoltage = veltrim::FormatC("%.1f", uniform(30, 150));
        row.Texts.TargetAngle = veltrim::FormatC("%.1f", uniform(8, 22));
        row.Texts.InherentFiltration = veltrim::FormatC("%.2f", uniform(1, 4));
        row.Texts.AlFilter = veltrim::FormatC("%.2f", uniform(0, 5));
        row.Texts.CuFilter = uniform(0, 1) < 0.5 ? "0" : veltrim::FormatC("%.2f", uniform(0, 0.5));
        row.Texts.Fsd = veltrim::FormatC("%.0f", uniform(50, 150));
        row.Texts.FieldX = veltrim::FormatC("%.1f", uniform(5, 40));
        row.Texts.FieldY = uniform(0, 1) < 0.1 ? "0" : veltrim::FormatC("%.1f", uniform(5, 40));
        row.Rectification = 1 + static_cast<int>(random() % 3);
    }
    return rows;
}

void BM_Batch1000Conditions2Workers(benchmark::State& run) {
    const fs::path folder = fs::path(VELTRIM_SOURCE_DIR) / "data";
    veltrim::BatchData data;
    try {
        data = veltrim::ReadBatchData(folder);
    } catch (const std::exception& e) {
        run.SkipWithError(e.what());
        return;
    }
    const std::vector<veltrim::BatchRow> rows = RandomRows();
    int failed = 0;
    for (auto _ : run) {
        const std::vector<veltrim::BatchResult> results =
            veltrim::RunBatch(data, rows, Workers, {});
        for (const veltrim::BatchResult& r : results)
            failed += r.Error.has_value();
        benchmark::DoNotOptimize(results.data());
    }
    if (failed > 0)
        run.SkipWithError("rows failed");
    run.counters["conditions/s"] = benchmark::Counter(static_cast<double>(ConditionCount) *
                                                          static_cast<double>(run.iterations()),
                                                      benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Batch1000Conditions2Workers)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
