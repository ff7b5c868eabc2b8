#pragma once

// The shipped data, read once, and the library's calculations on it: the
// spectrum of a beam, the depth dose as the program computes it, and the
// depth dose with either of the two mended rules set back, so that the
// report can show what each mend changes.

#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "dose/FocusKernels.h"
#include "dose/ScatterKernels.h"
#include "dose/TissueTables.h"
#include "engine/CalculateBeam.h"
#include "engine/ModelData.h"
#include "spectrum/AttenuationTables.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace veltrim::validate {

// The report's reference beam: 80 kV, 12 degrees, 2.5 mm Al inherent
// filtration, no added filter, constant potential, 30x30 cm at FSD 100 cm.
IrradiationConditions ReferenceBeam();

// A thickness typed in mm, as the conditions hold it (cm).
inline double Mm(double millimetres) {
    return millimetres / 10;
}

// Rows 1..60 of a depth-dose table and the absolute doses behind it.
struct DepthDose {
    int Rows = 0;
    DepthProfile Primary{};     // percent of row 1's total
    DepthProfile Scatter{};     // percent of row 1's total
    DepthProfile Total{};       // percent of row 1's total
    DepthProfile PrimaryDose{}; // keV cm2/g per unit fluence
    DepthProfile ScatterDose{};
    // Scatter per unit spectrum weight, [bin][row], after interpolation.
    std::vector<DepthProfile> ScatterByEnergy;
    bool Ok = false;
    std::string Failure; // why the table could not be formed
};

// Share of ring r inside the field as first written: cases D and E
// without the corner area added back (the library's share less it).
double UnmendedRingCoverage(int r, double hx, double hy, double pi);

// Area of {x > hx, y > hy, x^2 + y^2 < rho^2}, computed here independently
// of the library, by integrating the circle's height above y = hy.
double AreaBeyondCorner(double rho, double hx, double hy);

class Engine {
  public:
    explicit Engine(const std::filesystem::path& dataFolder);

    // The program's own calculation, as the window and veltrim-calc run it.
    DepthDose Library(const IrradiationConditions& beam,
                      ScatterModel model = ScatterModel::Classic) const;
    // The library's depth dose called directly, with the chosen rules, from
    // the shipped parallel-beam kernels or from `kernels`.
    DepthDose Compute(const IrradiationConditions& beam, const DepthDoseRules& rules,
                      KernelSource* kernels = nullptr) const;
    // The program's dose per unit incident air kerma, as veltrim-calc --dose
    // forms it.
    AbsoluteDose Absolute(const IrradiationConditions& beam, ScatterModel model,
                          Medium medium = Medium::IcruFourComponent) const;
    // The library's spectrum of a beam (normalised photon fractions per bin).
    EnergyTable Spectrum(const IrradiationConditions& beam) const;

    const std::filesystem::path& DataFolder() const { return dataFolder_; }
    const AttenuationTables& Attenuation() const { return data_->Attenuation(); }
    const TissueTables& Tissue() const { return data_->Tissue(); }
    const KernelSet& Kernels() const { return data_->Kernels(); }
    const ModelData& Data() const { return *data_; }
    // Mass energy-absorption coefficient of air per bin (AirKerma.dat), cm2/g.
    const EnergyTable& AirMuEn() const { return data_->Air().MuEnOverRho; }
    // Total linear attenuation of the tissue at E keV as the program forms it.
    double TissueMu(double E) const;

  private:
    DepthDose Run(const IrradiationConditions& beam, const CalculationOptions& options) const;

    std::filesystem::path dataFolder_;
    std::shared_ptr<const ModelData> data_;
};

} // namespace veltrim::validate
