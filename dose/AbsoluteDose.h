#pragma once

// Dose in absolute terms: per unit incident air kerma Ka,i (free in air on
// the axis at the skin plane, without backscatter), and in mGy for an
// exposure. The primary-dose factors and the scatter kernels are dose per
// unit photon fluence, and E (mu_en/rho)_air the air kerma per unit fluence,
// so the dose per unit Ka,i of a layer is
//   c(z) = sum_E phi(E) [primary(E, z) + scatter(E, z)] / sum_E phi(E) E (mu_en/rho)_air(E)
// from the same spectrum. The medium is the phantom's: ICRU four-component
// soft tissue.

#include "core/Conditions.h"
#include "core/Grids.h"
#include "dose/DepthDose.h"
#include "dose/SurfaceKernels.h"
#include "dose/TissueTables.h"

#include <utility>

namespace veltrim {

// The air kerma of a spectrum per unit photon fluence, keV cm2/g: the sum
// over bins 1..300 of phi_i E_i (mu_en/rho)_air,i.
double AirKermaPerFluence(const EnergyTable& spectrum, const EnergyTable& airMuEnOverRho);

// What the phantom gives at its entrance surface, per unit fluence (keV
// cm2/g). Both scatter models take the parallel-beam surface kernels: at the
// surface the field is the typed one, and the backscatter comes from the
// first few cm, where the divergence changes the field by a few per cent.
struct SurfaceScatter {
    double PrimaryTissue = 0.0; // the primary dose of the tissue there
    double ScatterTissue = 0.0; // the scatter kerma at the surface point on the axis, in tissue
    double ScatterAir = 0.0;    // and in air
};
// The share of each ring around the axis inside the field at the surface:
// for a rectangle as the depth dose forms it for its rows, for a circle each
// ring's exact share (as the points and the absolute dose take it).
struct SurfaceRings {
    int Count = 0;
    std::array<double, RingCapacity> Share{};
};
SurfaceRings RingsAtSurface(const FieldHalfSides& field, double pi);

// `field` the half sides at the surface; `topBin` the highest bin of the
// spectrum (2 kV). Throws CalculationError when a ring share cannot be
// formed or the sum is not finite.
SurfaceScatter SurfaceScatterPerFluence(const EnergyTable& spectrum, const TissueTables& tissue,
                                        const SurfaceKernelSet& kernels,
                                        const FieldHalfSides& field, int topBin, double pi);

// The dose of every layer per unit incident air kerma (Gy/Gy), and at the
// surface, with the backscatter factor B = Ka,e / Ka,i.
struct DosePerAirKerma {
    int Rows = 0;
    DepthProfile Primary{}; // rows from 1
    DepthProfile Scatter{};
    DepthProfile Total{};
    double SurfacePrimary = 0.0;
    double SurfaceScatter = 0.0;
    double Surface = 0.0;
    double Backscatter = 0.0;
};
// `primaryDose` and `scatterDose` per unit fluence (rows 1..rows), as the
// depth dose forms them.
DosePerAirKerma DosePerIncidentAirKerma(int rows, const DepthProfile& primaryDose,
                                        const DepthProfile& scatterDose, double airKermaPerFluence,
                                        const SurfaceScatter& surface);

// The total dose per unit Ka,i at a depth z (0..30 cm): at the surface its
// own value; between the surface and the first layer middle, and between
// layer middles, interpolated linearly in z and in the logarithm of the dose
// (the dose falls nearly exponentially with depth); below the last middle,
// the last two middles' slope carried on. Throws CalculationError outside
// 0..30 cm or for a depth that is not a number.
double DoseAtDepth(const DosePerAirKerma& dose, double z);

// The least and the most total dose per unit Ka,i over the depths z1..z2
// (z1 <= z2); the interpolation is monotonic between its nodes, so they lie
// at the ends or at layer middles inside. Throws CalculationError for a
// range outside 0..30 cm or given backwards.
std::pair<double, double> DoseOverDepths(const DosePerAirKerma& dose, double z1, double z2);

} // namespace veltrim
