// Reading a dose record: the largest fluoroscopy record beside the checkout
// (../shared/rdsr, 141 kB, 20 events) read by DCMTK into events, and the
// same turned into the study document (skipped when the records are
// absent); and a whole `veltrim-calc --study` process on a record of 100
// events built here, whose figure must stay within 1 s.
#include "bench/ProcessTime.h"
#include "dicom/RecordBuilder.h"
#include "dicom/StudyJson.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

const std::filesystem::path LargestFluoroscopy = std::filesystem::path(VELTRIM_SOURCE_DIR) / ".." /
                                                 "shared" / "rdsr" / "RF-No-kVp-and-others.dcm";

void BM_ReadDoseRecord(benchmark::State& state) {
    if (!std::filesystem::exists(LargestFluoroscopy)) {
        state.SkipWithError("no ../shared/rdsr");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(veltrim::ReadDoseRecord(LargestFluoroscopy));
}
BENCHMARK(BM_ReadDoseRecord)->Unit(benchmark::kMillisecond);

void BM_DoseRecordToStudy(benchmark::State& state) {
    if (!std::filesystem::exists(LargestFluoroscopy)) {
        state.SkipWithError("no ../shared/rdsr");
        return;
    }
    const veltrim::RecordPatient patient{22.0, 34.0};
    for (auto _ : state) {
        const veltrim::DoseRecord record = veltrim::ReadDoseRecord(LargestFluoroscopy);
        benchmark::DoNotOptimize(veltrim::StudyJson(
            record, veltrim::EventExposures(record, patient), patient, {{"conceptus", 8.0}}));
    }
}
BENCHMARK(BM_DoseRecordToStudy)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// A fluoroscopy record of 100 events built with DCMTK: each pulse's kVp,
// copper, reference air kerma with its distance, and the C-arm's angle;
// `beams` distinct tube voltages (an automatic brightness control moves
// the kVp during a run).
std::filesystem::path FluoroscopyRecord(const veltrim::testing::TempFolder& folder, int beams) {
    veltrim::testing::ReportBuilder b;
    for (int k = 0; k < 100; ++k)
        b.Event()
            .Num("113733", "KVP", std::to_string(70 + (k % beams) * 0.25), "kV")
            .Filter("C-127F9", "Copper or Copper compound", "0.2", "0.2")
            .Num("122130", "Dose Area Product", "1e-005", "Gy.m2")
            .Num("113738", "Dose (RP)", std::to_string(0.0001 + 1e-6 * (k % 7)), "Gy")
            .Num("113737", "Distance Source to Reference Point", "700", "mm")
            .Num("112011", "Positioner Primary Angle", "0.1", "deg")
            .Close();
    return b.Save(folder, "rf100.dcm");
}

// veltrim-calc --study on the record at three points, the whole process.
void StudyProcessOfAHundredEvents(benchmark::State& run) {
    const veltrim::testing::TempFolder folder;
    const std::filesystem::path record = FluoroscopyRecord(folder, static_cast<int>(run.range(0)));
    const std::string data = (std::filesystem::path(VELTRIM_SOURCE_DIR) / "data").string();
    veltrim::bench::TimeEachRun(run,
                                {VELTRIM_CALC_PROGRAM, "--data", data, "--study", record.string(),
                                 "--ap-thickness", "22", "--lateral-width", "34", "--interest",
                                 "conceptus,8,0,0", "--interest", "ovary,10,6,2", "--interest",
                                 "skin,20,0,-5"},
                                "veltrim-calc --study failed on the record");
}
BENCHMARK(StudyProcessOfAHundredEvents)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
