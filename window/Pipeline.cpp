#include "window/Pipeline.h"

#include "engine/CalculateBeam.h"

namespace veltrim {
namespace {

// Marks the state's calculation as under way for as long as it runs.
class UnderWay {
  public:
    explicit UnderWay(SharedState& state) : state_(state) { state_.CalculationUnderWay = true; }
    ~UnderWay() { state_.CalculationUnderWay = false; }
    UnderWay(const UnderWay&) = delete;
    UnderWay& operator=(const UnderWay&) = delete;

  private:
    SharedState& state_;
};

void Call(const std::function<void()>& hook) {
    if (hook)
        hook();
}

} // namespace

CalculationResult RunCalculation(SharedState& state, const ConditionTexts& texts,
                                 const PipelineHooks& hooks) {
    if (state.CalculationUnderWay)
        return CalculationResult::Stopped;
    const UnderWay underWay(state);

    if (const auto clamped = state.ReadConditions(texts); clamped && hooks.ShowClampText)
        hooks.ShowClampText(*clamped);
    Call(hooks.Yield);
    // A beam or phantom that cannot be calculated is refused before anything
    // is, so the last results stay as they are.
    if (const std::optional<std::string> refusal = state.Refusal()) {
        state.Messages.Show(*refusal);
        return CalculationResult::Stopped;
    }
    if (!state.SynthesizeSpectrum())
        return CalculationResult::Stopped;
    Call(hooks.Yield);
    if (!state.LoadTissueTables())
        return CalculationResult::Stopped;
    const bool computed = state.ComputeDepthDose();
    Call(hooks.Yield);
    return computed ? CalculationResult::Completed : CalculationResult::DepthDoseFailed;
}

} // namespace veltrim
