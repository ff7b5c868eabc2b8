#include "tools/validate/Engine.h"

#include "core/CalculationError.h"
#include "dose/DepthDose.h"
#include "dose/RingCoverage.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>

namespace veltrim::validate {
namespace {

// The antiderivative of sqrt(rho^2 - x^2) - hy over x.
double HeightIntegral(double x, double rho, double hy) {
    return 0.5 * (x * std::sqrt(rho * rho - x * x) + rho * rho * std::asin(x / rho)) - hy * x;
}

} // namespace

double AreaBeyondCorner(double rho, double hx, double hy) {
    if (rho * rho <= hx * hx + hy * hy)
        return 0.0;
    const double xEnd = std::sqrt(rho * rho - hy * hy); // where the circle meets y = hy
    return HeightIntegral(xEnd, rho, hy) - HeightIntegral(hx, rho, hy);
}

double UnmendedRingCoverage(int r, double hx, double hy, double pi) {
    const std::optional<double> share = RingCoverage(r, hx, hy, pi);
    if (!share)
        throw std::runtime_error("ring coverage cannot be formed");
    const double rIn = 0.5 * r - 0.5;
    const double rOut = rIn + 0.5;
    const double R = std::sqrt(hx * hx + hy * hy);
    // Cases D and E are the rings whose outer circle passes x = hx while the
    // inner one does not; both subtract the parts beyond each line whole.
    if (rOut > hx && rIn <= hx && rOut > R) {
        const double quarterArea = (pi / 4) * (rOut * rOut - rIn * rIn);
        return *share - AreaBeyondCorner(rOut, hx, hy) / quarterArea;
    }
    return *share;
}

Engine::Engine(const std::filesystem::path& dataFolder) : dataFolder_(dataFolder) {
    workFolder_ =
        std::filesystem::temp_directory_path() / ("veltrim-validate-" + std::to_string(::getpid()));
    std::filesystem::create_directories(workFolder_);
    state_ = std::make_unique<SharedState>(messages_, dataFolder_, workFolder_);
    if (!state_->LoadAttenuationTables() || !state_->LoadTissueTables())
        throw std::runtime_error("the data in " + dataFolder_.string() + " cannot be read");
    kernels_ = ReadKernelSet(dataFolder_);
}

Engine::~Engine() {
    std::error_code ignored;
    std::filesystem::remove_all(workFolder_, ignored);
}

void Engine::SetConditions(const Beam& beam) {
    IrradiationConditions& c = state_->Conditions;
    c.TubeVoltage = beam.TubeVoltage;
    c.TargetAngle = beam.TargetAngle;
    c.InherentFiltration = beam.InherentFiltrationMm / 10;
    c.AlFilter = beam.AlFilterMm / 10;
    c.CuFilter = beam.CuFilterMm / 10;
    c.Fsd = beam.Fsd;
    c.FieldX = beam.FieldX;
    c.FieldY = beam.FieldY;
    c.Rectification = static_cast<RectificationMethod>(beam.Rectification);
}

const EnergyTable& Engine::Spectrum(const Beam& beam) {
    SetConditions(beam);
    if (!state_->SynthesizeSpectrum())
        throw std::runtime_error("the spectrum cannot be synthesised");
    return state_->Spectrum;
}

DepthDose Engine::Library(const Beam& beam) {
    Spectrum(beam);
    if (!state_->LoadTissueTables())
        throw std::runtime_error("the tissue tables cannot be read");
    DepthDose out;
    out.Ok = state_->ComputeDepthDose();
    if (!out.Ok) {
        out.Failure = state_->DepthDoseFailureCause;
        return out;
    }
    out.Rows = state_->DepthRowCount;
    for (int d = 1; d <= out.Rows; ++d) {
        out.Primary[d] = state_->DepthDoseResult[d][PrimaryPdd];
        out.Scatter[d] = state_->DepthDoseResult[d][ScatterPdd];
        out.Total[d] = state_->DepthDoseResult[d][TotalPdd];
        out.PrimaryDose[d] = state_->PrimaryDose[d];
        out.ScatterDose[d] = state_->ScatterDose[d];
    }
    out.ScatterByEnergy.assign(state_->ScatterByEnergy.begin(), state_->ScatterByEnergy.end());
    return out;
}

double Engine::TissueMu(double E) const {
    return TissueAttenuation(state_->Tissue.Rows, state_->Tissue.RowCount, E);
}

DepthDose Engine::Compute(const Beam& beam, const Mends& mends) {
    const EnergyTable spectrum = Spectrum(beam);
    DepthDose out;
    try {
        DepthDoseRules rules;
        rules.LinearAtZeroNodes = mends.LinearAtZeroNodes;
        rules.CornerAddedBack = mends.CornerAddedBack;
        KernelSetSource kernels(*kernels_);
        const auto calculation = std::make_unique<DepthDoseCalculation>(
            CalculateDepthDose(spectrum, state_->Tissue, kernels, state_->Conditions,
                               state_->MaxDepth, state_->Pi, rules));
        out.Rows = calculation->Rows;
        for (int d = 1; d <= out.Rows; ++d) {
            out.Primary[d] = calculation->Table[d][PrimaryPdd];
            out.Scatter[d] = calculation->Table[d][ScatterPdd];
            out.Total[d] = calculation->Table[d][TotalPdd];
        }
        out.PrimaryDose = calculation->PrimaryDose;
        out.ScatterDose = calculation->ScatterDose;
        out.ScatterByEnergy.assign(calculation->ScatterByEnergy.begin(),
                                   calculation->ScatterByEnergy.end());
        out.Ok = true;
    } catch (const CalculationError& e) {
        const Message& cause = e.Cause();
        if (cause.Id() == MessageId::CauseNodeScatterNegative)
            out.Failure = "the scatter node of " + cause.Arguments()[0].Plain + " keV at " +
                          cause.Arguments()[1].Plain +
                          " cm is negative (negative ring shares outweigh the rest), which stops "
                          "the calculation with the failure message";
        else
            out.Failure = cause.In(Language::English);
    }
    return out;
}

} // namespace veltrim::validate
