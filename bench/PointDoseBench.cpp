// The dose off the axis once the beam is computed: a whole map of the x-z
// plane (121 x 60 points for a field small enough that the kernels reach
// 30 cm to either side at every depth) and a single point, for both
// scatter models.
#include "engine/BeamPoints.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

struct Beam {
    std::shared_ptr<const veltrim::ModelData> data;
    veltrim::BeamResult result;
};

bool Prepare(benchmark::State& run, Beam& beam, veltrim::ScatterModel model) {
    try {
        beam.data = veltrim::ModelData::Load(std::filesystem::path(VELTRIM_SOURCE_DIR) / "data");
        veltrim::IrradiationConditions c = veltrim::DefaultConditions();
        c.FieldX = c.FieldY = 10;
        veltrim::CalculationOptions options;
        options.Model = model;
        beam.result = veltrim::CalculateBeam(c, options, *beam.data);
        return true;
    } catch (const std::exception& e) {
        run.SkipWithError(e.what());
        return false;
    }
}

void Map(benchmark::State& run, veltrim::ScatterModel model) {
    Beam beam;
    if (!Prepare(run, beam, model))
        return;
    std::size_t points = 0;
    for (auto _ : run) {
        const veltrim::DoseGrid grid =
            veltrim::BeamMap(beam.result, veltrim::LateralAxis::X, *beam.data);
        points = grid.Points.size();
        benchmark::DoNotOptimize(grid.Doses.data());
    }
    run.counters["points"] = static_cast<double>(points);
}

void Point(benchmark::State& run, veltrim::ScatterModel model) {
    Beam beam;
    if (!Prepare(run, beam, model))
        return;
    const veltrim::PhantomPoint point{12.5, 3.0, 7.3};
    for (auto _ : run) {
        const std::vector<veltrim::PointDose> dose =
            veltrim::BeamPointDoses(beam.result, std::span(&point, 1), *beam.data);
        benchmark::DoNotOptimize(dose.data());
    }
}

void BM_DoseMapClassic(benchmark::State& run) {
    Map(run, veltrim::ScatterModel::Classic);
}
void BM_DoseMapDivergent(benchmark::State& run) {
    Map(run, veltrim::ScatterModel::Divergent);
}
void BM_DoseAtPointClassic(benchmark::State& run) {
    Point(run, veltrim::ScatterModel::Classic);
}
void BM_DoseAtPointDivergent(benchmark::State& run) {
    Point(run, veltrim::ScatterModel::Divergent);
}

BENCHMARK(BM_DoseMapClassic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DoseMapDivergent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DoseAtPointClassic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoseAtPointDivergent)->Unit(benchmark::kMillisecond);

} // namespace
