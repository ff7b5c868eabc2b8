// The whole calculation over the shipped data, fed arbitrary condition texts:
// the input is the rectification method and the eight texts of the window, one
// per line (missing lines keep the default texts). Every run must either give
// a whole finite table whose first layer totals 100 % and a results file that
// holds it, or report its failure and keep the previous table and file.
#include "core/NumberReading.h"
#include "dose/DepthDose.h"
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
#include <vector>

using veltrim::fuzzing::Check;
using veltrim::fuzzing::WorkFolder;

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
    state.AttenuationLoaded = true;
    state.DepthDoseResult = baseline.State.DepthDoseResult;
    state.DepthRowCount = 60;
    const double method = lines.empty() ? 1.0 : veltrim::ReadNumber(lines[0]);
    state.SelectRectification(method >= 1 && method <= 3 ? static_cast<int>(method) : 1);

    const veltrim::CalculationResult result = veltrim::RunCalculation(state, texts, {});
    Check(state.Conditions.TubeVoltage >= 30 && state.Conditions.TubeVoltage <= 150,
          "the tube voltage is held within 30..150 kV");
    if (result != veltrim::CalculationResult::Completed) {
        veltrim::fuzzing::CheckFailureKeptTheResults(state, sink, baseline);
        if (result == veltrim::CalculationResult::DepthDoseFailed)
            Check(veltrim::fuzzing::IsDepthDoseFailure(sink.Messages[0]),
                  "a depth-dose failure gives its fixed first line and its cause");
        return 0;
    }
    for (const double s : state.Spectrum)
        Check(std::isfinite(s) && s >= 0, "the spectrum is finite and not negative");
    veltrim::fuzzing::CheckCompletedTable(state, sink, baseline);
    return 0;
}
