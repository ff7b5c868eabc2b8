// A whole `veltrim-calc --kv 80` process against a plain program that reads
// the same files whole with strtod, or with std::from_chars, and calls the
// same calculation (see plain/PlainCalc.cpp): the price of the data-file
// reader as a user meets it, start-up and all. The two run alternately, each
// first in every other round, so that a slow spell of the machine or the
// page cache falls on both alike; medians, since a process's time has a long
// tail. VELTRIM_BENCH_CALC names another veltrim-calc to time (an older
// build) against the same yardstick.
#include "bench/ProcessTime.h"
#include "dose/ScatterKernels.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using veltrim::bench::RunSeconds;

double Median(std::vector<double> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

std::string CalcProgram() {
    const char* other = std::getenv("VELTRIM_BENCH_CALC");
    return other != nullptr && *other != '\0' ? other : VELTRIM_CALC_PROGRAM;
}

void CalcProcessAgainstPlain(benchmark::State& run, bool fromChars) {
    const fs::path data = fs::path(VELTRIM_SOURCE_DIR) / "data";
    if (!fs::exists(data / veltrim::KernelFolder / veltrim::KernelFile(veltrim::LastKernelKeV))) {
        run.SkipWithError("the shipped data folder is not complete");
        return;
    }
    const fs::path results =
        fs::temp_directory_path() /
        ("veltrim-bench-results-" + std::to_string(std::random_device{}()) + ".txt");
    const std::vector<std::string> calc = {CalcProgram(), "--data", data.string(),   "--kv",
                                           "80",          "--out",  results.string()};
    std::vector<std::string> plain = {VELTRIM_PLAIN_PROGRAM, data.string()};
    if (fromChars)
        plain.insert(plain.begin() + 1, "--from-chars");
    std::vector<double> calcSeconds;
    std::vector<double> plainSeconds;
    bool calcFirst = true;
    for (auto _ : run) {
        const double first = RunSeconds(calcFirst ? calc : plain);
        const double second = RunSeconds(calcFirst ? plain : calc);
        const double c = calcFirst ? first : second;
        const double p = calcFirst ? second : first;
        if (c < 0 || p < 0) {
            run.SkipWithError(c < 0 ? "veltrim-calc failed" : "the plain reader failed");
            break;
        }
        calcSeconds.push_back(c);
        plainSeconds.push_back(p);
        run.SetIterationTime(c);
        calcFirst = !calcFirst;
    }
    std::error_code ignored;
    fs::remove(results, ignored);
    if (calcSeconds.empty())
        return;
    const double calcMedian = Median(calcSeconds);
    const double plainMedian = Median(plainSeconds);
    run.counters["calc_ms"] = calcMedian * 1e3;
    run.counters["plain_ms"] = plainMedian * 1e3;
    run.counters["ratio"] = calcMedian / plainMedian;
}

BENCHMARK_CAPTURE(CalcProcessAgainstPlain, Strtod, false)
    ->UseManualTime()
    ->Iterations(400)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CalcProcessAgainstPlain, FromChars, true)
    ->UseManualTime()
    ->Iterations(400)
    ->Unit(benchmark::kMillisecond);

} // namespace
