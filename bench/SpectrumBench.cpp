// Spectrum synthesis, the double sum over photon and electron energies.
#include "window/SharedState.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>

namespace {

// The shipped tables when present; otherwise smooth stand-in coefficients
// with the same cost (the arithmetic does not depend on the values).
void FillTables(veltrim::SharedState& state) {
    state.DataFolder = std::filesystem::path(VELTRIM_SOURCE_DIR) / "data";
    if (std::filesystem::exists(state.DataFolder / veltrim::TungstenFile) &&
        state.LoadAttenuationTables())
        return;
    for (int i = 1; i <= 300; ++i) {
        const double e = 0.5 * i;
        state.Attenuation.MuTungsten[i] = 19.3 * 5000 * std::pow(e, -2.8);
        state.Attenuation.MuAluminium[i] = 2.7 * 800 * std::pow(e, -3.0) + 0.4;
        state.Attenuation.MuCopper[i] = 8.96 * 9000 * std::pow(e, -2.9) + 1.0;
    }
    state.AttenuationLoaded = true;
}

void Synthesize(benchmark::State& run, const char* kv, int rectification) {
    veltrim::RecordingSink messages;
    veltrim::SharedState state(messages);
    FillTables(state);
    veltrim::ConditionTexts texts;
    texts.TubeVoltage = kv;
    state.ReadConditions(texts);
    state.SelectRectification(rectification);
    for (auto _ : run) {
        const bool ok = state.SynthesizeSpectrum();
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(state.Spectrum.data());
    }
}

void BM_Spectrum150kVSinglePhase(benchmark::State& run) {
    Synthesize(run, "150", 3);
}
void BM_Spectrum80kVConstantPotential(benchmark::State& run) {
    Synthesize(run, "80", 1);
}

BENCHMARK(BM_Spectrum150kVSinglePhase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Spectrum80kVConstantPotential)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
