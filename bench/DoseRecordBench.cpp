// Reading a dose record: the largest fluoroscopy record beside the checkout
// (../shared/rdsr, 141 kB, 20 events) read by DCMTK into events, and the
// same turned into the study document. Skipped when the records are absent.
#include "dicom/StudyJson.h"

#include <benchmark/benchmark.h>
#include <filesystem>

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
