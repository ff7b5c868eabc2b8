#pragma once

// Helpers of the fuzz targets that run whole calculations: a property check
// that stops the fuzzer with its reason, a working folder of their own, and
// the calculation every run starts from.

#include "dose/DepthDose.h"
#include "files/ResultsFile.h"
#include "window/Pipeline.h"
#include "window/SharedState.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace veltrim::fuzzing {

inline void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The depth-dose failure: its fixed first line, then the cause.
inline bool IsDepthDoseFailure(const std::string& message) {
    const std::string firstLine = std::string(DepthDoseFailureMessage) + "\n";
    return message.size() > firstLine.size() &&
           message.compare(0, firstLine.size(), firstLine) == 0;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::filesystem::path WorkFolderPath() {
    return std::filesystem::temp_directory_path() / ("veltrim-fuzz-" + std::to_string(getpid()));
}

// A folder under the temporary folder for this process's results files,
// created on the first call and removed when the process ends normally.
inline std::filesystem::path WorkFolder() {
    static const bool created = [] {
        std::filesystem::create_directories(WorkFolderPath());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(WorkFolderPath(), ignored);
        });
        return true;
    }();
    (void)created;
    return WorkFolderPath();
}

// A calculation with the default conditions over the shipped data: its
// tables, spectrum and conditions are what every run starts from, its table
// and results file what a failing run must keep.
struct DefaultCalculation {
    std::filesystem::path Data = std::filesystem::path(VELTRIM_SOURCE_DIR) / "data";
    RecordingSink Sink;
    SharedState State{Sink, Data, WorkFolder()};
    IrradiationConditions Conditions; // as read
    std::string ResultsFile;

    DefaultCalculation() {
        Check(State.LoadAttenuationTables(), "the shipped attenuation tables load");
        State.ReadConditions({});
        Conditions = State.Conditions;
        Check(RunCalculation(State, {}, {}) == CalculationResult::Completed,
              "the default conditions compute over the shipped data");
        ResultsFile = ReadBytes(WorkFolder() / ResultsFileName);
    }
};

// What every failed calculation must leave: one message, and the previous
// table and results file as they were.
inline void CheckFailureKeptTheResults(const SharedState& state, const RecordingSink& sink,
                                       const DefaultCalculation& baseline) {
    Check(sink.Messages.size() == 1, "a failure gives exactly one message");
    Check(state.DepthDoseResult == baseline.State.DepthDoseResult,
          "a failure keeps the previous table");
    Check(state.DepthRowCount == baseline.State.DepthRowCount,
          "a failure keeps the previous row count");
    Check(ReadBytes(WorkFolder() / ResultsFileName) == baseline.ResultsFile,
          "a failure keeps the previous results file");
}

// What every completed calculation must give: no message, a finite table
// normalised to row 1, and the results file of that table. The file is then
// put back, so that the next run starts from the default calculation's.
inline void CheckCompletedTable(const SharedState& state, const RecordingSink& sink,
                                const DefaultCalculation& baseline) {
    Check(sink.Messages.empty(), "a completed calculation shows no message");
    Check(state.DepthRowCount == 60, "the table has 60 rows");
    Check(state.DepthDoseResult[1][TotalPdd] == 100.0, "row 1 totals 100 %");
    for (int d = 1; d <= state.DepthRowCount; ++d)
        for (int column = 1; column <= 3; ++column)
            Check(std::isfinite(state.DepthDoseResult[d][column]), "every value is finite");
    const std::filesystem::path resultsPath = WorkFolder() / ResultsFileName;
    Check(ReadBytes(resultsPath) == ResultsFileBytes(state), "the results file holds the table");
    std::ofstream(resultsPath, std::ios::binary) << baseline.ResultsFile;
}

} // namespace veltrim::fuzzing
