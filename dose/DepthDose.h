#pragma once

// Percentage depth dose in ICRU soft tissue, from the spectrum, the tissue
// tables, the scatter kernels and the conditions.

#include "core/Conditions.h"
#include "core/Grids.h"
#include "dose/ScatterKernels.h"
#include "dose/TissueTables.h"

#include <array>

namespace veltrim {

// The first line of the message of a failed depth-dose calculation, the same
// in both editions (it begins with a blank); the second names the cause.
inline constexpr const char* DepthDoseFailureMessage = " 正しく計算できませんでした。";

// Columns of a depth-dose table; column 0 is not used.
enum DepthDoseColumn { PrimaryPdd = 1, ScatterPdd = 2, TotalPdd = 3 };
// Rows 1..80 (the calculation fills as many as the maximum depth asks for).
using DepthDoseTable = std::array<std::array<double, 4>, DepthRowCapacity>;
using DepthProfile = std::array<double, DepthRowCapacity>;

// Rules of the calculation. The first two a study may set back to how they
// were first written, to show what they change; the program always uses both.
struct DepthDoseRules {
    // Between two kernel nodes one of which has no scatter, the scatter is
    // interpolated linearly (true), rather than the zero node being taken as
    // 1.0 for the log interpolation.
    bool LinearAtZeroNodes = true;
    // The ring shares of the cases where the ring passes the field corner add
    // back the corner area they subtract twice (true).
    bool CornerAddedBack = true;
    // A circular field counts every ring up to its edge whole (true), as the
    // classic model's table always has; otherwise each ring takes its exact
    // share inside the circle, as every other quantity does.
    bool CircleRingsWhole = true;
};

// The table and what it was formed from.
struct DepthDoseCalculation {
    int Rows = 0;
    DepthDoseTable Table{};
    DepthProfile PrimaryDose{}; // per unit fluence at the surface, keV cm2/g
    DepthProfile ScatterDose{};
    // The scatter with each ring's exact share inside the field, which the
    // dose at points, the absolute dose and the maps take: ScatterDose itself
    // unless the table counted a circle's rings whole.
    DepthProfile ExactScatterDose{};
    // Scatter per unit spectrum weight, [bin][row], after the interpolation between nodes.
    std::array<DepthProfile, EnergyBinCount> ScatterByEnergy{};
    bool CircularField = false;
    // The half sides of the field at the surface, the larger first (cm).
    double HalfFieldX = 0.0;
    double HalfFieldY = 0.0;
};

// The half sides of a field at the surface (cm), the larger first; a field
// typed with 0 as its second side is a circle of diameter FieldX.
struct FieldHalfSides {
    double X = 0.0;
    double Y = 0.0;
    bool Circle = false;
};
FieldHalfSides HalveField(const IrradiationConditions& conditions);

// The number of 0.5-cm layers down to `maxDepth` cm (at most 80; below 1
// for a depth that leaves none).
double DepthRowCount(double maxDepth);

// The depth dose of `spectrum` (photon fractions per bin) for the field and
// FSD of `conditions`, down to `maxDepth` cm (rows of 0.5 cm, at most 80),
// normalised to the total dose of the first layer. A field with FieldY == 0 is
// a circle of diameter FieldX. Throws CalculationError naming the cause, or
// DataFileError from the kernel source.
DepthDoseCalculation CalculateDepthDose(const EnergyTable& spectrum, const TissueTables& tissue,
                                        KernelSource& kernels,
                                        const IrradiationConditions& conditions, double maxDepth,
                                        double pi, const DepthDoseRules& rules = {});

} // namespace veltrim
