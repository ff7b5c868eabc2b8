// The depth-dose computation over arbitrary tissue and primary-dose data: the
// input is the text of ICRUSoft.dat, a '#', and the text of Primary.dat. With
// the spectrum of the default conditions and the shipped kernels, every run
// whose files load must either give a whole finite table whose first layer
// totals 100 % and the results file that holds it, or fail with the one
// message and keep the previous table and file.
#include "core/DataFile.h"
#include "calculation/Pipeline.h"
#include "calculation/SharedState.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"
#include "dose/TissueTables.h"
#include "fuzz/FuzzSupport.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

using veltrim::fuzzing::Check;
using veltrim::fuzzing::ReadBytes;
using veltrim::fuzzing::WorkFolder;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const veltrim::fuzzing::DefaultCalculation baseline;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = std::min(input.find('#'), input.size());
    veltrim::NumberFile tissueFile("ICRUSoft.dat", std::string(input.substr(0, cut)));
    veltrim::NumberFile primaryFile("Primary.dat",
                                    std::string(input.substr(std::min(cut + 1, input.size()))));

    veltrim::RecordingSink sink;
    veltrim::SharedState state(sink, baseline.Data, WorkFolder());
    state.Preloaded = baseline.Preloaded; // the kernels; the tissue tables are this run's
    try {
        state.Tissue.RowCount = veltrim::ReadTissueFile(tissueFile, state.Tissue.Rows);
        state.Tissue.PrimaryDoseNodes = veltrim::ReadPrimaryDoseFile(primaryFile);
    } catch (const veltrim::DataFileError&) {
        return 0;
    }
    state.Tissue.PrimaryDose = veltrim::BuildPrimaryDoseTable(state.Tissue.PrimaryDoseNodes);
    state.TissueTablesLoaded = true;
    state.Conditions = baseline.Conditions;
    state.Spectrum = baseline.State.Spectrum;
    state.DepthDoseResult = baseline.State.DepthDoseResult;
    state.DepthRowCount = baseline.State.DepthRowCount;

    const fs::path resultsPath = WorkFolder() / veltrim::ResultsFileName;
    if (!state.ComputeDepthDose()) {
        Check(sink.Messages.size() == 1 && veltrim::fuzzing::IsDepthDoseFailure(sink.Messages[0]),
              "a failure gives the one message with its cause");
        Check(state.DepthDoseResult == baseline.State.DepthDoseResult,
              "a failure keeps the previous table");
        Check(ReadBytes(resultsPath) == baseline.ResultsFile,
              "a failure keeps the previous results file");
        return 0;
    }
    Check(sink.Messages.empty(), "a completed calculation shows no message");
    Check(state.DepthDoseResult[1][veltrim::TotalPdd] == 100.0, "row 1 totals 100 %");
    for (int d = 1; d <= state.DepthRowCount; ++d)
        for (int column = 1; column <= 3; ++column)
            Check(std::isfinite(state.DepthDoseResult[d][column]), "every value is finite");
    Check(ReadBytes(resultsPath) == veltrim::ResultsFileBytes(state),
          "the results file holds the table");
    std::ofstream(resultsPath, std::ios::binary) << baseline.ResultsFile;
    return 0;
}
