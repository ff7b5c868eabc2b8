#include "tools/validate/Engine.h"

#include "calculation/SharedState.h"
#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "core/MessageSink.h"
#include "dose/DepthDose.h"
#include "dose/RingCoverage.h"
#include "spectrum/BeamQuality.h"
#include "spectrum/SynthesizeSpectrum.h"

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

IrradiationConditions ReferenceBeam() {
    IrradiationConditions c;
    c.TubeVoltage = 80.0;
    c.TargetAngle = 12.0;
    c.InherentFiltration = Mm(2.5);
    c.Fsd = 100.0;
    c.FieldX = 30.0;
    c.FieldY = 30.0;
    return c;
}

namespace {

void CopyTable(DepthDose& out, const DepthDoseTable& table, int rows) {
    out.Rows = rows;
    for (int d = 1; d <= rows; ++d) {
        out.Primary[d] = table[d][PrimaryPdd];
        out.Scatter[d] = table[d][ScatterPdd];
        out.Total[d] = table[d][TotalPdd];
    }
}

} // namespace

Engine::Engine(const std::filesystem::path& dataFolder)
    : dataFolder_(dataFolder), messages_(std::make_unique<RecordingSink>()) {
    workFolder_ =
        std::filesystem::temp_directory_path() / ("veltrim-validate-" + std::to_string(::getpid()));
    std::filesystem::create_directories(workFolder_);
    try {
        attenuation_ = ReadAttenuationTables(dataFolder_);
        airMuEn_ = ReadAttenuationFile(dataFolder_ / AirKermaFile);
        data_ = PreloadData(dataFolder_);
    } catch (const DataFileError& e) {
        throw std::runtime_error("the data in " + dataFolder_.string() +
                                 " cannot be read: " + e.what());
    }
    state_ = std::make_unique<SharedState>(*messages_, dataFolder_, workFolder_);
    state_->Preloaded = data_;
    state_->Attenuation = attenuation_;
    state_->AttenuationLoaded = true;
    if (!state_->LoadTissueTables())
        throw std::runtime_error("the tissue tables cannot be read");
}

Engine::~Engine() {
    std::error_code ignored;
    std::filesystem::remove_all(workFolder_, ignored);
}

EnergyTable Engine::Spectrum(const IrradiationConditions& beam) const {
    return SynthesizeSpectrum(beam, attenuation_, state_->Pi).Spectrum;
}

DepthDose Engine::Library(const IrradiationConditions& beam, ScatterModel model) {
    state_->Conditions = beam;
    state_->Model = model;
    if (!state_->SynthesizeSpectrum())
        throw std::runtime_error("the spectrum cannot be synthesised");
    DepthDose out;
    out.Ok = state_->ComputeDepthDose();
    if (!out.Ok) {
        out.Failure = state_->DepthDoseFailureCause;
        return out;
    }
    CopyTable(out, state_->DepthDoseResult, state_->DepthRowCount);
    out.PrimaryDose = state_->PrimaryDose;
    out.ScatterDose = state_->ScatterDose;
    out.ScatterByEnergy.assign(state_->ScatterByEnergy.begin(), state_->ScatterByEnergy.end());
    return out;
}

double Engine::TissueMu(double E) const {
    return TissueAttenuation(Tissue().Rows, Tissue().RowCount, E);
}

DepthDose Engine::Compute(const IrradiationConditions& beam, const DepthDoseRules& rules,
                          KernelSource* kernels) const {
    const EnergyTable spectrum = Spectrum(beam);
    DepthDose out;
    try {
        KernelSetSource shipped(Kernels());
        const auto calculation = std::make_unique<DepthDoseCalculation>(
            CalculateDepthDose(spectrum, Tissue(), kernels ? *kernels : shipped, beam,
                               state_->MaxDepth, state_->Pi, rules));
        CopyTable(out, calculation->Table, calculation->Rows);
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
