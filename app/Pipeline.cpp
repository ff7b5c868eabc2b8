#include "app/Pipeline.h"

#include <algorithm>
#include <vector>

namespace veltrim {
namespace {

// States whose calculation is under way on this thread (the only one that runs
// calculations); a second OK arriving during a yield finds its state here.
thread_local std::vector<const SharedState*> running;

class RunningGuard {
  public:
    explicit RunningGuard(const SharedState& state) : state_(&state) { running.push_back(state_); }
    ~RunningGuard() { running.erase(std::find(running.begin(), running.end(), state_)); }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

  private:
    const SharedState* state_;
};

void Call(const std::function<void()>& hook) {
    if (hook)
        hook();
}

} // namespace

CalculationResult RunCalculation(SharedState& state, const ConditionTexts& texts,
                                 const PipelineHooks& hooks) {
    if (std::find(running.begin(), running.end(), &state) != running.end())
        return CalculationResult::Stopped;
    const RunningGuard guard(state);

    if (const auto clamped = state.ReadConditions(texts); clamped && hooks.ShowClampText)
        hooks.ShowClampText(*clamped);
    Call(hooks.Yield);
    if (const std::optional<Message> problem = GeometryProblem(state.Conditions)) {
        state.Messages.Show(problem->In(state.Edition));
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
