// What a depth dose reads before it computes (the attenuation, tissue and
// primary-dose tables and the 29 parallel-beam kernels): parsed from the
// text files, and taken from their binary form in the cache (made before the
// timing; each round checks the files against it and reads it whole).
#include "engine/ModelData.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

const fs::path Data = fs::path(VELTRIM_SOURCE_DIR) / "data";

void LoadDepthDoseTables(benchmark::State& run, bool cached) {
    const fs::path root = fs::temp_directory_path() / "veltrim-bench-cache";
    const auto load = [&] {
        const auto data =
            veltrim::ModelData::Load(Data, veltrim::ModelCache(cached ? root : fs::path(), Data));
        data->Tissue();
        data->Kernels();
    };
    try {
        load();
    } catch (const std::exception& e) {
        run.SkipWithError(e.what());
        return;
    }
    for (auto _ : run)
        load();
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

BENCHMARK_CAPTURE(LoadDepthDoseTables, FromText, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadDepthDoseTables, FromCache, true)->Unit(benchmark::kMillisecond);

} // namespace
