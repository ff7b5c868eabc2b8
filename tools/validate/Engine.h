#pragma once

// The depth-dose calculation of the library, rebuilt step by step so that
// the validation can switch the two mended faults back on one at a time and
// see what they change. With both mends it must give the library's table to
// the last bit; the report checks that before it uses any variant.

#include "core/MessageSink.h"
#include "calculation/SharedState.h"
#include "dose/ScatterKernels.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace veltrim::validate {

// A beam and a field, in the units the user types (mm, kV, degrees, cm).
struct Beam {
    double TubeVoltage = 80.0;
    double TargetAngle = 12.0;
    double InherentFiltrationMm = 2.5;
    double AlFilterMm = 0.0;
    double CuFilterMm = 0.0;
    int Rectification = 1;
    double Fsd = 100.0;
    double FieldX = 30.0;
    double FieldY = 30.0;
};

// Which of the decided mends are in force.
struct Mends {
    // Zero scatter nodes interpolated linearly (mended) or turned into 1.0
    // before the log interpolation (as first written).
    bool LinearAtZeroNodes = true;
    // Ring coverage cases D/E add back the corner area they subtract twice.
    bool CornerAddedBack = true;
};

// Rows 1..60 of a depth-dose table and the absolute doses behind it.
struct DepthDose {
    int Rows = 0;
    std::array<double, DepthRowCapacity> Primary{};     // percent of row 1's total
    std::array<double, DepthRowCapacity> Scatter{};     // percent of row 1's total
    std::array<double, DepthRowCapacity> Total{};       // percent of row 1's total
    std::array<double, DepthRowCapacity> PrimaryDose{}; // keV cm2/g per unit fluence
    std::array<double, DepthRowCapacity> ScatterDose{};
    // Scatter per unit spectrum weight, [bin][row], after interpolation.
    std::vector<std::array<double, DepthRowCapacity>> ScatterByEnergy;
    bool Ok = false;
    std::string Failure; // why the table could not be formed
};

// Share of ring r inside the field as first written: cases D and E
// without the corner area added back (the library's share less it).
double UnmendedRingCoverage(int r, double hx, double hy, double pi);

// Area of {x > hx, y > hy, x^2 + y^2 < rho^2}, computed here independently
// of the library, by integrating the circle's height above y = hy.
double AreaBeyondCorner(double rho, double hx, double hy);

// The shipped data, read once, and the calculations on it.
class Engine {
  public:
    explicit Engine(const std::filesystem::path& dataFolder);
    ~Engine();

    // The library's own pipeline: spectrum, tissue tables, ComputeDepthDose.
    DepthDose Library(const Beam& beam);
    // The same calculation rebuilt here, with the chosen mends.
    DepthDose Compute(const Beam& beam, const Mends& mends);
    // The library's spectrum of a beam (normalised photon fractions per bin).
    const EnergyTable& Spectrum(const Beam& beam);

    const SharedState& State() const { return *state_; }
    const std::filesystem::path& DataFolder() const { return dataFolder_; }
    // Kernel of node k (0..28, 10 + 5k keV), [ring][row].
    const ScatterKernelTable& Kernel(int k) const { return kernels_->Tables[k]; }
    // Total linear attenuation of the tissue at E keV as the program forms it.
    double TissueMu(double E) const;

  private:
    void SetConditions(const Beam& beam);

    std::filesystem::path dataFolder_;
    std::filesystem::path workFolder_;
    RecordingSink messages_;
    std::unique_ptr<SharedState> state_;
    std::unique_ptr<KernelSet> kernels_;
};

} // namespace veltrim::validate
