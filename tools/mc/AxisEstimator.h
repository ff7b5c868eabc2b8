#pragma once

#include "tools/mc/Phantom.h"
#include "tools/mc/Random.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/TissueModel.h"

#include <vector>

namespace veltrim::mc {

// The scatter dose on the beam axis by the next-event (point-kerma)
// estimator. At every collision it adds, for each 0.5-cm row, the expected
// dose on the axis that the photon leaving that collision delivers: the
// probability per steradian of being scattered towards a point of the
// axis, times exp(-mu(E') d) / d^2, times the energy the tissue takes up per
// unit fluence of photons of the scattered energy E'. Electrons deposit on
// the spot in this transport, so that kerma is the dose.
//
// The dose is averaged over the row's length of the axis. The point is drawn
// on the row's segment with a density proportional to 1/d^2 (the angle seen
// from the collision is uniform), which removes the 1/d^2 of the estimate
// and leaves a score bounded by pi / (distance to the axis): a line average
// has only a logarithmic variance singularity, where a single point would
// have an infinite one.
//
// The angular densities are those the transport samples (Klein-Nishina x
// S(q) and Thomson x F(q)^2 of the tissue model), normalised here by
// numerical integration, so that the estimate is the expectation of the
// analog transport, not of other data.
class AxisEstimator {
  public:
    explicit AxisEstimator(const TissueModel& tissue, int rows = CellGrid::kRows);

    int Rows() const { return rows_; }

    // Adds the estimate of each row a = 0..Rows()-1 to dose[a], keV/g per
    // unit weight of the photon (the site's weight is applied).
    void Estimate(const CollisionSite& site, RandomStream& random, double* dose) const {
        EstimateRows(site, random, dose, 0.0, CellGrid::kRowThickness, rows_);
    }
    // The same for `rows` rows of `thickness` cm below the depth `top` cm.
    void EstimateRows(const CollisionSite& site, RandomStream& random, double* dose, double top,
                      double thickness, int rows) const;

    // What leaves a collision by scattering: the shares of coherent and
    // incoherent scattering among its interactions over the norms of their
    // angular densities, so that times the densities they give the
    // probability per steradian.
    struct Emission {
        double Energy = 0.0;          // keV
        double CoherentShare = 0.0;   // 1/sr
        double IncoherentShare = 0.0; // 1/sr
    };
    Emission EmissionAt(const CollisionSite& site) const;
    // The probability per steradian of leaving towards a direction at
    // cosTheta to the photon's by coherent and by incoherent scattering, and
    // the energy of the incoherently scattered photon (keV).
    struct Towards {
        double Coherent = 0.0;
        double Incoherent = 0.0;
        double ScatteredEnergy = 0.0;
    };
    Towards ScatterTowards(const Emission& emission, double cosTheta) const;

    // Energy imparted per unit fluence of photons of E keV, keV cm2/g:
    // the photon energy for photoelectric absorption, the mean energy of the
    // Compton electron for incoherent scattering, nothing for coherent.
    double DoseFactor(double E) const { return Fine(doseFactor_, E); }
    // Total linear attenuation coefficient, 1/cm.
    double Attenuation(double E) const { return Fine(attenuation_, E); }
    // Of the phantom's medium, g/cm3.
    double Density() const { return tissue_.Material().Density; }
    // The normalisations of the two angular densities, sr: integral over the
    // sphere of Klein-Nishina x S(q)/S(inf) (in units of r_e^2 / 2 per
    // electron) and of (1 + cos^2)/2 x F^2(q).
    double IncoherentNorm(double E) const { return Coarse(incoherentNorm_, E); }
    double CoherentNorm(double E) const { return Coarse(coherentNorm_, E); }

  private:
    double Fine(const std::vector<double>& table, double E) const;
    double Coarse(const std::vector<double>& table, double E) const;

    const TissueModel& tissue_;
    int rows_;
    std::vector<double> attenuation_, doseFactor_;      // fine grid in E
    std::vector<double> incoherentNorm_, coherentNorm_; // coarse grid in E
};

} // namespace veltrim::mc
