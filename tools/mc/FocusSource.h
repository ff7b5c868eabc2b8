#pragma once

#include "core/Grids.h"
#include "tools/mc/Random.h"
#include "tools/mc/Transport.h"

#include <cmath>
#include <vector>

namespace veltrim::mc {

// The focus of a diagnostic beam: a point on the axis at Fsd cm above the
// entrance face, emitting isotropically into the field (an infinite Fsd is a
// parallel beam). Its photons are sampled over the entrance face with
// weights: the weight of a sampled photon is the number of photons of the
// focus it stands for, per unit fluence on the axis at the entrance face
// (cm2), so that a tally of weight x energy / mass is a dose per unit axis
// fluence at the surface.
struct Focus {
    double Fsd = 100.0; // cm

    bool Parallel() const { return std::isinf(Fsd); }
    // The photon of the focus that enters at (x, y), its direction and the
    // density of such photons on the entrance face per unit axis fluence,
    // (f / d)^3: inverse square times the obliquity cos = f / d.
    SourcePhoton Entering(double x, double y, double energy) const;
    double FaceDensity(double x, double y) const;
};

// A sampled photon of the focus, with its weight and the radius at which it
// enters the phantom.
struct FocusPhoton {
    SourcePhoton Photon;
    double Weight = 0.0;      // cm2
    double EntryRadius = 0.0; // cm
};

// Photons of one energy entering anywhere within MaxEntryRadius. With an
// entry scale of 0 the entry radius is drawn uniformly (each ring of the
// entrance face gets the same share of histories, the inner rings far more
// than their share of the area); with a scale lambda > 0 it is drawn with
// density exp(-r / lambda), which gives the outer rings, whose photons
// reach the axis rarely but with large weights, fewer histories of smaller
// weight and cuts the variance of the axis dose several times.
class RingSource {
  public:
    RingSource(Focus focus, double energy, double maxEntryRadius, double entryScale = 0.0);
    FocusPhoton Sample(RandomStream& random) const;

  private:
    Focus focus_;
    double energy_;
    double maxEntryRadius_;
    double entryScale_;
    double truncation_ = 1.0; // 1 - exp(-maxEntryRadius / entryScale)
};

// Photons of a spectrum entering within a rectangular field of half sides
// halfX, halfY at the entrance face, or within a circle of radius halfX when
// `circle` is set, drawn uniformly over its area. The energy of a photon is
// the energy of a 0.5-keV bin, drawn in proportion to the spectrum over the
// bins first..last; the weights carry the spectrum's total, so that tallies
// are per unit spectrum weight as the program's are.
class FieldSource {
  public:
    FieldSource(Focus focus, const EnergyTable& spectrum, int firstBin, int lastBin, double halfX,
                double halfY, bool circle);
    FocusPhoton Sample(RandomStream& random) const;
    double MeanEnergy() const { return meanEnergy_; }

  private:
    Focus focus_;
    std::vector<double> cumulative_; // running share of the bins first..last
    int firstBin_;
    double total_ = 0.0;
    double meanEnergy_ = 0.0;
    double halfX_, halfY_;
    bool circle_;
};

} // namespace veltrim::mc
