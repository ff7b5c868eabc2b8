// The whole calculation over the shipped data, fed arbitrary condition texts:
// the input is the rectification method and the eight texts of the window, one
// per line (missing lines keep the default texts). Every run must either give
// a whole finite table whose first layer totals 100 % and a results file that
// holds it, or report its failure and keep the previous table and file.
#include "core/NumberReading.h"
#include "calculation/Pipeline.h"
#include "calculation/SharedState.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"
#include "fuzz/FuzzSupport.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

using veltrim::fuzzing::Check;
using veltrim::fuzzing::ReadBytes;
using veltrim::fuzzing::WorkFolder;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const veltrim::fuzzing::DefaultCalculation baseline;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= input.size() && lines.size() < 9;) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        lines.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    veltrim::ConditionTexts texts;
    std::string* fields[] = {&texts.TubeVoltage, &texts.TargetAngle, &texts.InherentFiltration,
                             &texts.AlFilter,    &texts.CuFilter,    &texts.Fsd,
                             &texts.FieldX,      &texts.FieldY};
    for (std::size_t i = 1; i < lines.size(); ++i)
        *fields[i - 1] = lines[i];

    veltrim::RecordingSink sink;
    veltrim::SharedState state(sink, baseline.Data, WorkFolder());
    state.Attenuation = baseline.State.Attenuation;
    state.Preloaded = baseline.Preloaded;
    state.AttenuationLoaded = true;
    state.DepthDoseResult = baseline.State.DepthDoseResult;
    state.DepthRowCount = 60;
    const double method = lines.empty() ? 1.0 : veltrim::ReadNumber(lines[0]);
    state.SelectRectification(method >= 1 && method <= 3 ? static_cast<int>(method) : 1);

    const fs::path resultsPath = WorkFolder() / veltrim::ResultsFileName;
    const veltrim::CalculationResult result = veltrim::RunCalculation(state, texts, {});
    Check(state.Conditions.TubeVoltage >= 30 && state.Conditions.TubeVoltage <= 150,
          "the tube voltage is held within 30..150 kV");
    if (result != veltrim::CalculationResult::Completed) {
        Check(sink.Messages.size() == 1, "a failure gives exactly one message");
        if (result == veltrim::CalculationResult::DepthDoseFailed)
            Check(veltrim::fuzzing::IsDepthDoseFailure(sink.Messages[0]),
                  "a depth-dose failure gives its fixed first line and its cause");
        Check(state.DepthDoseResult == baseline.State.DepthDoseResult,
              "a failure keeps the previous table");
        Check(state.DepthRowCount == 60, "a failure keeps the previous row count");
        Check(ReadBytes(resultsPath) == baseline.ResultsFile,
              "a failure keeps the previous results file");
        return 0;
    }
    Check(sink.Messages.empty(), "a completed calculation shows no message");
    for (const double s : state.Spectrum)
        Check(std::isfinite(s) && s >= 0, "the spectrum is finite and not negative");
    Check(state.DepthRowCount == 60, "the table has 60 rows");
    Check(state.DepthDoseResult[1][veltrim::TotalPdd] == 100.0, "row 1 totals 100 %");
    for (int d = 1; d <= 60; ++d)
        for (int column = 1; column <= 3; ++column)
            Check(std::isfinite(state.DepthDoseResult[d][column]), "every value is finite");
    Check(ReadBytes(resultsPath) == veltrim::ResultsFileBytes(state),
          "the results file holds the table");
    // The next run starts from the default calculation's file again.
    std::ofstream(resultsPath, std::ios::binary) << baseline.ResultsFile;
    return 0;
}
