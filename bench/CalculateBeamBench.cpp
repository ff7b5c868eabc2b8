// The one calculation every front end takes, over data read once: the depth
// dose alone, and with the dose in absolute terms (per unit incident air
// kerma, the surface and the backscatter factor, and an exposure in mGy),
// so that the cost of the absolute quantities shows as the difference.
#include "engine/CalculateBeam.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

void Calculate(benchmark::State& run, double kv, int rectification, double side, bool absolute) {
    std::shared_ptr<const veltrim::ModelData> data;
    try {
        data = veltrim::ModelData::Load(std::filesystem::path(VELTRIM_SOURCE_DIR) / "data");
        if (absolute)
            data->SurfaceKernels();
    } catch (const std::exception& e) {
        run.SkipWithError(e.what());
        return;
    }
    veltrim::IrradiationConditions c = veltrim::DefaultConditions();
    c.TubeVoltage = kv;
    c.Rectification = static_cast<veltrim::RectificationMethod>(rectification);
    c.FieldX = c.FieldY = side;
    veltrim::CalculationOptions options;
    if (absolute)
        options.Given = veltrim::Exposure{veltrim::ExposureKind::IncidentAirKerma, 1.0};
    for (auto _ : run) {
        const veltrim::BeamResult beam = veltrim::CalculateBeam(c, options, *data);
        benchmark::DoNotOptimize(beam.DepthDose->Table.data());
    }
}

void BM_CalculateBeamDefault(benchmark::State& run) {
    Calculate(run, 80, 1, 30, false);
}
void BM_CalculateBeamDefaultAbsolute(benchmark::State& run) {
    Calculate(run, 80, 1, 30, true);
}
void BM_CalculateBeamHeaviest(benchmark::State& run) {
    Calculate(run, 150, 3, 40, false);
}
void BM_CalculateBeamHeaviestAbsolute(benchmark::State& run) {
    Calculate(run, 150, 3, 40, true);
}

BENCHMARK(BM_CalculateBeamDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculateBeamDefaultAbsolute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculateBeamHeaviest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculateBeamHeaviestAbsolute)->Unit(benchmark::kMillisecond);

} // namespace
