#pragma once

#include "core/Conditions.h"
#include "window/SharedState.h"

#include <functional>
#include <string>

namespace veltrim {

enum class CalculationResult { Completed, DepthDoseFailed, Stopped };

struct PipelineHooks {
    // Writes the clamp text into Text1 (may be an empty function).
    std::function<void(const std::string&)> ShowClampText;
    // One pass of the event loop (may be an empty function).
    std::function<void()> Yield;
};

// The calculation behind the OK button, without the window: ReadConditions
// (the clamp text is shown at once), Yield, SynthesizeSpectrum, Yield,
// LoadTissueTables, ComputeDepthDose (which writes the results file), Yield.
//
// Completed / DepthDoseFailed: the caller goes on to plot, set CursorPlaced = 0,
// ResultsReady = 1 and enable the save buttons, as after a success (a
// depth-dose failure has already shown its message). Stopped: the spectrum or
// the tissue tables failed (message already shown); the caller does nothing
// more. A call made on a state whose calculation is still running (from one of
// its own yields) starts nothing and gives Stopped at once, without a message:
// the state's tables would change under the running one.
CalculationResult RunCalculation(SharedState& state, const ConditionTexts& texts,
                                 const PipelineHooks& hooks);

} // namespace veltrim
