// Matching a measured first half-value layer: one anode spectrum, then a
// bisection over the added filter, each step a filtered spectrum and an HVL1.
#include "engine/CalculateBeam.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

void Match(benchmark::State& run, const char* kv, int rectification, double hvl1,
           veltrim::MatchFilter filter) {
    const auto data = veltrim::ModelData::Load(std::filesystem::path(VELTRIM_SOURCE_DIR) / "data");
    veltrim::ConditionTexts texts;
    texts.TubeVoltage = kv;
    veltrim::IrradiationConditions conditions;
    veltrim::ReadConditions(texts, conditions);
    conditions.Rectification = static_cast<veltrim::RectificationMethod>(rectification);
    for (auto _ : run) {
        const veltrim::Hvl1Match match =
            veltrim::MatchBeamHvl1(conditions, hvl1, filter, 100.0, *data);
        benchmark::DoNotOptimize(match.AddedMm);
    }
}

void BM_MatchHvl1At80kVAluminium(benchmark::State& run) {
    Match(run, "80", 1, 3.0, veltrim::MatchFilter::Aluminium);
}
void BM_MatchHvl1At150kVSinglePhaseCopper(benchmark::State& run) {
    Match(run, "150", 3, 8.0, veltrim::MatchFilter::Copper);
}

BENCHMARK(BM_MatchHvl1At80kVAluminium)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchHvl1At150kVSinglePhaseCopper)->Unit(benchmark::kMillisecond);

} // namespace
