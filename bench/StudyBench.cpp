// A fluoroscopy run of 1000 pulses at three points: the study's computation
// with the data already loaded, and a whole `veltrim-calc --study` process
// (load, read the file, compute, print), whose figure must stay within 1 s.
#include "bench/ProcessTime.h"
#include "engine/ComputeStudy.h"
#include "files/StudyFile.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

veltrim::Study FluoroscopyRun() {
    veltrim::Study study;
    study.Patient = {22.0, 34.0, veltrim::Medium::IcruFourComponent};
    study.Points = {{"conceptus", 8.0, 0.0, 0.0, 2.0, 1.0, 1.0},
                    {"ovary", 10.0, 6.0, 2.0},
                    {"skin", 20.0, 0.0, -5.0}};
    for (int k = 0; k < 1000; ++k) {
        veltrim::StudyExposure e;
        e.Name = "pulse " + std::to_string(k + 1);
        e.Entry = veltrim::BeamEntry::Posterior;
        e.TubeVoltage = 75;
        e.Rectification = veltrim::RectificationMethod::ConstantPotential;
        e.CuMm = 0.2;
        e.Model = veltrim::ScatterModel::Divergent;
        e.FsdCm = 70;
        e.FieldXCm = 25;
        e.FieldYCm = 25;
        e.Form.ReferenceAirKermaMgy = 0.01 + 1e-5 * (k % 7);
        e.Form.ReferenceDistanceCm = 85;
        e.TableAlMm = 1.2;
        study.Exposures.push_back(e);
    }
    return study;
}

const std::filesystem::path Data = std::filesystem::path(VELTRIM_SOURCE_DIR) / "data";

void StudyOfAThousandPulses(benchmark::State& run) {
    const auto data = veltrim::ModelData::Load(Data);
    const veltrim::Study study = FluoroscopyRun();
    std::size_t beams = 0;
    for (auto _ : run) {
        const veltrim::StudyResult result = veltrim::ComputeStudy(study, *data);
        beams = result.BeamsComputed;
        benchmark::DoNotOptimize(result.Totals.data());
    }
    run.counters["beams"] = static_cast<double>(beams);
}
BENCHMARK(StudyOfAThousandPulses)->Unit(benchmark::kMillisecond);

// The whole process, as a user meets it.
void StudyProcessOfAThousandPulses(benchmark::State& run) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "veltrim-bench-study.json";
    std::ofstream(file) << veltrim::StudyFileBytes(FluoroscopyRun());
    veltrim::bench::TimeEachRun(
        run, {VELTRIM_CALC_PROGRAM, "--data", Data.string(), "--study", file.string()},
        "veltrim-calc --study failed");
    std::filesystem::remove(file);
}
BENCHMARK(StudyProcessOfAThousandPulses)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
