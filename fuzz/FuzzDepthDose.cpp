// The depth-dose computation over arbitrary tissue and primary-dose data: the
// input is the text of ICRUSoft.dat, a '#', and the text of Primary.dat. With
// the spectrum of the default conditions and the shipped kernels, every run
// whose files load must either give a whole finite table whose first layer
// totals 100 % and the results file that holds it, or fail with the one
// message and keep the previous table and file.
#include "core/DataFile.h"
#include "dose/DepthDose.h"
#include "dose/TissueTables.h"
#include "files/ResultsFile.h"
#include "fuzz/FuzzSupport.h"
#include "window/Pipeline.h"
#include "window/SharedState.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

using veltrim::fuzzing::Check;
using veltrim::fuzzing::WorkFolder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const veltrim::fuzzing::DefaultCalculation baseline;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = std::min(input.find('#'), input.size());

    veltrim::RecordingSink sink;
    veltrim::SharedState state(sink, baseline.Data, WorkFolder());
    try {
        state.Tissue = veltrim::TissueTablesFromTexts(
            input.substr(0, cut), input.substr(std::min(cut + 1, input.size())));
    } catch (const veltrim::DataFileError&) {
        return 0;
    }
    state.TissueTablesLoaded = true;
    state.Conditions = baseline.Conditions;
    state.Spectrum = baseline.State.Spectrum;
    state.DepthDoseResult = baseline.State.DepthDoseResult;
    state.DepthRowCount = baseline.State.DepthRowCount;

    if (!state.ComputeDepthDose()) {
        veltrim::fuzzing::CheckFailureKeptTheResults(state, sink, baseline);
        Check(veltrim::fuzzing::IsDepthDoseFailure(sink.Messages[0]),
              "a failure gives the one message with its cause");
        return 0;
    }
    veltrim::fuzzing::CheckCompletedTable(state, sink, baseline);
    return 0;
}
