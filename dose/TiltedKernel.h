#pragma once

// One node energy's kernels as a point off the axis takes them in the
// point-focus model. The point-focus kernel of ring c holds the focus's
// fluence fall-off over the ring (cos^3 of the ray's angle) and its rays'
// outward tilt, c / (Fsd + z) around the axis. Off the axis the fall-off is
// the point's own (it thins the ring's share) and the tilt g times the
// axis's, so the kernel is the classic one stepped towards the fall-off-free
// point-focus one by g in the logarithm: g = 0 is a parallel beam, g = 1 the
// axis, g < 0 rays converging on the point from a field beside it. The step
// keeps the kernel positive for any g; where either kernel is zero it is
// taken linearly and kept from going below zero.

#include "dose/KernelTail.h"
#include "dose/ScatterKernels.h"

#include <array>
#include <span>
#include <vector>

namespace veltrim {

class TiltedKernel {
  public:
    explicit TiltedKernel(double fsd);

    // The node's two kernel tables; they must outlive the following sums.
    void Take(const ScatterKernelTable& classic, const ScatterKernelTable& focus);

    // The point-focus kernel as it stands, for the axis.
    double Focus(int r, int d) const { return focus_.At(r, d); }

    // Sum over rings 1..rings (up to 200: beyond 80 the kernels' tails) of
    // layer d of the kernel for rays tilted tilt[r] times the axis's, times
    // g (the inverse square) and share[r]. Each layer's steps are formed
    // once, for every point that needs them.
    double RingSum(int d, int rings, double g, std::span<const double> share,
                   std::span<const double> tilt);

  private:
    struct Layer {
        int Ready = 0;     // rings 1..Ready are formed
        PointRings Full{}; // the point-focus kernel without the fall-off
        PointRings Step{}; // log(Full / classic)
    };
    const Layer& Prepared(int d, int rings);

    double fsd_;
    std::vector<Layer> layers_;
    ExtendedKernel classic_;
    ExtendedKernel focus_;
};

} // namespace veltrim
