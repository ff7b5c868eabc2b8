#pragma once

// The dose at points anywhere in the phantom, not only on the central axis.
// Primary: the photons of an isotropic point focus that reach the point
// along their ray (inverse square over the ray's length, attenuation over
// its slant path in tissue), inside the field's divergent projection only;
// outside it there is none, since the focus is a point (no penumbra) and
// its output the same in every direction (no heel effect). Scatter: the
// kernels' rings around the point, each weighted by its share inside the
// field as it stands off-centre at that depth, with the axis's kernels,
// inverse square and interpolations. On the axis the result is the depth
// dose's own. At the surface the scatter is the surface kernels' (the
// absolute dose's surface dose), and between the surface and the first
// layer middle it is interpolated between the two.

#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "dose/ScatterKernels.h"
#include "dose/SurfaceKernels.h"
#include "dose/TissueTables.h"

#include <span>
#include <vector>

namespace veltrim {

// A point of the phantom, cm.
struct PhantomPoint {
    double X = 0.0; // from the central axis along the field's first side (FieldX)
    double Y = 0.0; // from the central axis along its second side
    double Z = 0.0; // depth below the entrance surface
};

// The dose at a point per unit fluence at the surface (keV cm2/g), as the
// depth dose's PrimaryDose and ScatterDose are.
struct PointDose {
    double Primary = 0.0;
    double Scatter = 0.0;
};

// What the dose at points takes from a calculated beam; the references
// must outlive the call.
struct PointBeam {
    const EnergyTable& Spectrum;
    const TissueTables& Tissue;
    const DepthDoseCalculation& Axis;
    const IrradiationConditions& Conditions; // the field as typed, the FSD, the voltage
    double Pi = 0.0;                         // the one the axis's ring shares took
    // The medium's surface kernels; needed only by points above the first
    // layer middle (NeedsSurfaceKernels).
    const SurfaceKernelSet* Surface = nullptr;
};

// The dose at each point, in the order given. A depth between two layer
// middles takes the primary at that depth and the scatter interpolated
// between the two middles (linear in depth and in the logarithm); above the
// first middle between it and the surface the same way; below the last,
// the last two middles' slope carried on. Beyond their 80 rings (40 cm)
// the kernels continue on their fitted tails (KernelTail.h) to 100 cm.
// Every point is checked before anything is computed: a coordinate that is
// not finite, a depth outside 0 to the deepest layer, and a point whose
// rings would need the kernels beyond 100 cm throw CalculationError with
// the range that can be computed.
std::vector<PointDose> DoseAtPoints(const PointBeam& beam, KernelSource& kernels,
                                    std::span<const PhantomPoint> points);

// The dose at points of the point-focus (divergent) model. Its kernels hold
// photons spreading away from the point of calculation, thinned by the
// focus's fall-off, as on the axis; beside the field the rays reach the
// point converging instead. Off the axis each ring therefore takes the
// fall-off where it meets the field and the kernel for its rays' tilt as
// seen from the point (TiltedKernel), stepped from the classic kernels
// (`classic`, a parallel beam) through the point-focus ones (`divergent`).
// On the axis the point gives the divergent table's own numbers, bit for
// bit. The primary needs no kernels. Checks and throws as DoseAtPoints.
std::vector<PointDose> DivergentDoseAtPoints(const PointBeam& beam, KernelSource& divergent,
                                             KernelSource& classic,
                                             std::span<const PhantomPoint> points);

// The check DoseAtPoints makes of every point before it computes any, for
// a depth dose of `rows` layers: throws CalculationError with the range.
void CheckPhantomPoints(const IrradiationConditions& conditions, int rows,
                        std::span<const PhantomPoint> points);

// Whether the rings around `p` stay within the kernels' 100 cm (the depth
// inside 0 to the deepest of `rows` layers).
bool WithinKernelReach(const IrradiationConditions& conditions, int rows, const PhantomPoint& p);

// Whether any of the points lies above the first layer middle, where the
// surface kernels take part.
bool NeedsSurfaceKernels(std::span<const PhantomPoint> points);

// A dose per unit fluence in per cent of the axis's first-layer total, the
// depth dose's normalisation (for a circle with each ring's exact share).
double PercentOfFirstLayer(const DepthDoseCalculation& axis, double perFluence);

} // namespace veltrim
