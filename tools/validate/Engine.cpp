#include "tools/validate/Engine.h"

#include "app/DataFile.h"
#include "dose/DepthDose.h"
#include "dose/RingCoverage.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>

namespace veltrim::validate {
namespace {

double LayerMiddle(int d) {
    return 0.5 * d - 0.25;
}

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
    kernels_.resize(29);
    for (int k = 0; k < 29; ++k) {
        NumberFile file(dataFolder_ / KernelFolder / KernelFile(10 + 5 * k));
        ReadKernelFile(file, kernels_[k]);
    }
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
    const SharedState& s = *state_;
    int k = 2;
    while (k <= s.TissueRowCount && E >= s.TissueTable[k].EnergyKeV)
        ++k;
    if (k > s.TissueRowCount)
        throw std::runtime_error("energy above the tissue table");
    const TissueRow& low = s.TissueTable[k - 1];
    const TissueRow& high = s.TissueTable[k];
    const double lnLow = std::log(low.EnergyKeV);
    const double t = (std::log(E) - lnLow) / (std::log(high.EnergyKeV) - lnLow);
    auto part = [t](double a, double b) {
        const double la = std::log(a);
        return std::exp(la + t * (std::log(b) - la));
    };
    return part(low.MuPart1, high.MuPart1) + part(low.MuPart2, high.MuPart2) +
           part(low.MuPart3, high.MuPart3);
}

DepthDose Engine::Compute(const Beam& beam, const Mends& mends) {
    const EnergyTable spectrum = Spectrum(beam);
    const SharedState& s = *state_;
    DepthDose out;
    const int rows = 60;
    const int topBin = static_cast<int>(std::floor(2 * beam.TubeVoltage));
    const double fsd = beam.Fsd;
    const bool circle = beam.FieldY == 0;
    double fx = beam.FieldX, fy = beam.FieldY;
    if (fx < fy)
        std::swap(fx, fy);
    fx = 0.5 * fx;
    fy = 0.5 * fy;

    // Primary: inverse square, attenuation at the layer's middle, dose factor.
    const double fsdSquared = fsd * fsd;
    for (int i = 21; i <= topBin; ++i) {
        const double mu = TissueMu(0.5 * i);
        for (int d = 1; d <= rows; ++d) {
            const double z = LayerMiddle(d);
            const double fromFocus = fsd + z;
            const double w = spectrum[i] * fsdSquared / (fromFocus * fromFocus);
            out.PrimaryDose[d] = out.PrimaryDose[d] + w * s.PrimaryDoseTable[i] * std::exp(-mu * z);
        }
    }

    // Scatter at the nodes: rings up to the corner, weighted by their share.
    out.ScatterByEnergy.assign(EnergyBinCount, {});
    auto& byEnergy = out.ScatterByEnergy;
    for (int d = 1; d <= rows; ++d) {
        const double z = LayerMiddle(d);
        const double g = fsd * fsd / ((fsd + z) * (fsd + z));
        const double hx = fx * (fsd + z) / fsd;
        const double hy = fy * (fsd + z) / fsd;
        const double R = std::sqrt(hx * hx + hy * hy);
        const int rings = static_cast<int>(std::floor(2 * R) + 1);
        if (rings > 80) {
            out.Failure = "the field corner needs more than 80 rings";
            return out;
        }
        std::array<double, RingCapacity> share{};
        for (int r = 1; r <= rings; ++r) {
            if (circle)
                share[r] = 1.0;
            else if (mends.CornerAddedBack)
                share[r] = RingCoverage(r, hx, hy, s.Pi).value();
            else
                share[r] = UnmendedRingCoverage(r, hx, hy, s.Pi);
        }
        for (int n = 20; n <= 300; n += 10) {
            const auto& kernel = kernels_[n / 10 - 2];
            double sum = byEnergy[n][d];
            for (int r = 1; r <= rings; ++r)
                sum = sum + kernel[r][d] * g * share[r];
            byEnergy[n][d] = sum;
        }
    }

    // Between the nodes.
    for (int i = 21; i <= topBin; ++i) {
        if (i % 10 == 0)
            continue;
        const double E = 0.5 * i;
        int j = 20;
        while (E >= 0.5 * j)
            j += 10;
        const double toUpper = 0.5 * j - E;
        for (int d = 1; d <= rows; ++d) {
            if (!mends.LinearAtZeroNodes) {
                if (byEnergy[j][d] == 0)
                    byEnergy[j][d] = 1.0;
                if (byEnergy[j - 10][d] == 0)
                    byEnergy[j - 10][d] = 1.0;
            }
            const double H = byEnergy[j][d];
            const double L = byEnergy[j - 10][d];
            if (H < 0 || L < 0) {
                out.Failure = "the scatter node of " + std::to_string((H < 0 ? j : j - 10) / 2) +
                              " keV at " + std::to_string(0.5 * d - 0.25).substr(0, 5) +
                              " cm is negative (negative ring shares outweigh the rest), which "
                              "stops the calculation with the failure message";
                return out;
            }
            if (H > 0 && L > 0)
                byEnergy[i][d] = std::exp(std::log(H) - (std::log(H) - std::log(L)) * toUpper / 5);
            else
                byEnergy[i][d] = H - (H - L) * toUpper / 5;
        }
    }

    for (int i = 21; i <= topBin; ++i)
        for (int d = 1; d <= rows; ++d)
            out.ScatterDose[d] = out.ScatterDose[d] + byEnergy[i][d] * spectrum[i];

    const double D1 = out.PrimaryDose[1] + out.ScatterDose[1];
    if (!(D1 != 0)) {
        out.Failure = "the first layer has no dose";
        return out;
    }
    for (int d = 1; d <= rows; ++d) {
        out.Primary[d] = out.PrimaryDose[d] / D1 * 100;
        out.Scatter[d] = out.ScatterDose[d] / D1 * 100;
        out.Total[d] = (out.PrimaryDose[d] + out.ScatterDose[d]) / D1 * 100;
        if (!std::isfinite(out.Total[d])) {
            out.Failure = "a PDD is not finite";
            return out;
        }
    }
    out.Rows = rows;
    out.Ok = true;
    return out;
}

} // namespace veltrim::validate
