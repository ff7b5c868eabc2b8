#pragma once

#include "tools/mc/AxisEstimator.h"
#include "tools/mc/KermaFactors.h"
#include "tools/mc/Random.h"
#include "tools/mc/Transport.h"

namespace veltrim::mc {

// The scatter kerma at the entrance surface, in tissue and in dry air,
// averaged over a disc of radius R around the axis in the plane of the
// entrance face, by a next-event estimator: at every collision, the
// probability per steradian of scattering towards a point of the disc
// times exp(-mu(E') d) / d^2 times the kerma factor K(E') (KermaFactors:
// the program's tables), the point drawn on the disc.
//
// A point at the surface is reached only from below, through tissue, and
// a point estimate there would have an infinite variance from collisions
// just under it. Averaged over the disc, the estimate is bounded: for a
// collision above the disc or near it (foot within 2R of the axis) the
// point is drawn with density proportional to 1/d^2 over the disc of radius
// S = (foot distance) + R around the foot, which covers the scoring disc,
// and scores nothing outside it; the 1/d^2 cancels and leaves
// ln(1 + S^2 / z^2) / R^2, whose square is integrable in the depth z. For a
// collision farther out the point is drawn uniformly on the disc, d >= R.
// Two random numbers per collision.
class SurfaceEstimator {
  public:
    SurfaceEstimator(const AxisEstimator& axis, const KermaFactors& kerma, double radius);

    struct Kerma {
        double Tissue = 0.0; // keV/g
        double Air = 0.0;
    };
    // The estimate of one collision, the site's weight applied.
    Kerma Estimate(const CollisionSite& site, RandomStream& random) const;

    double Radius() const { return radius_; }
    const KermaFactors& Factors() const { return kerma_; }

  private:
    const AxisEstimator& axis_;
    const KermaFactors& kerma_;
    double radius_;
};

} // namespace veltrim::mc
