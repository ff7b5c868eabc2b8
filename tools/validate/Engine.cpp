#include "tools/validate/Engine.h"

#include "core/DataFile.h"
#include "dose/DepthDose.h"
#include "dose/RingCoverage.h"
#include "engine/CalculateBeam.h"

#include <cmath>
#include <stdexcept>
#include <string>
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

void CopyTable(DepthDose& out, const DepthDoseCalculation& calculation) {
    out.Rows = calculation.Rows;
    for (int d = 1; d <= calculation.Rows; ++d) {
        out.Primary[d] = calculation.Table[d][PrimaryPdd];
        out.Scatter[d] = calculation.Table[d][ScatterPdd];
        out.Total[d] = calculation.Table[d][TotalPdd];
    }
    out.PrimaryDose = calculation.PrimaryDose;
    out.ScatterDose = calculation.ScatterDose;
    out.ScatterByEnergy.assign(calculation.ScatterByEnergy.begin(),
                               calculation.ScatterByEnergy.end());
    out.Ok = true;
}

} // namespace

Engine::Engine(const std::filesystem::path& dataFolder) : dataFolder_(dataFolder) {
    try {
        data_ = ModelData::Load(dataFolder_);
        data_->Air();
        data_->Tissue();
        data_->Kernels();
    } catch (const DataFileError& e) {
        throw std::runtime_error("the data in " + dataFolder_.string() +
                                 " cannot be read: " + e.what());
    }
}

EnergyTable Engine::Spectrum(const IrradiationConditions& beam) const {
    return BeamSpectrum(beam, Attenuation()).Spectrum;
}

DepthDose Engine::Library(const IrradiationConditions& beam, ScatterModel model) const {
    CalculationOptions options;
    options.Model = model;
    return Run(beam, options);
}

AbsoluteDose Engine::Absolute(const IrradiationConditions& beam, ScatterModel model,
                              Medium medium) const {
    CalculationOptions options;
    options.Model = model;
    options.PhantomMedium = medium;
    options.Absolute = true;
    return *CalculateBeam(beam, options, *data_).Absolute;
}

double Engine::TissueMu(double E) const {
    return TissueAttenuation(Tissue().Rows, Tissue().RowCount, E);
}

DepthDose Engine::Compute(const IrradiationConditions& beam, const DepthDoseRules& rules,
                          KernelSource* kernels) const {
    CalculationOptions options;
    options.Rules = rules;
    options.Kernels = kernels;
    return Run(beam, options);
}

DepthDose Engine::Run(const IrradiationConditions& beam, const CalculationOptions& options) const {
    DepthDose out;
    try {
        CopyTable(out, *CalculateBeam(beam, options, *data_).DepthDose);
    } catch (const BeamError& e) {
        if (e.Stage() != BeamStage::DepthDose)
            throw std::runtime_error("the spectrum cannot be synthesised");
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
