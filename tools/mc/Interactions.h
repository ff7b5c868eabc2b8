#pragma once

#include "tools/mc/Random.h"
#include "tools/mc/TissueModel.h"

namespace veltrim::mc {

// Electron rest energy, keV.
inline constexpr double kElectronRestEnergy = 510.99895;
// hc in keV angstrom: q = E / hc x sin(theta/2), as xraylib's MomentTransf.
inline constexpr double kHcKeVAngstrom = 12.398419843320026;

struct Direction {
    double U = 0.0, V = 0.0, W = 1.0;
};

struct ScatteredPhoton {
    double CosTheta = 1.0;
    double Energy = 0.0; // keV
};

enum class InteractionKind { Photoelectric, Incoherent, Coherent };

// Every function here is a pure function of its arguments and the random
// stream it is handed; none keeps state between calls.

// Picks the interaction at a collision in proportion to the three
// coefficients (one uniform number against the cumulative shares).
InteractionKind SampleInteraction(const Coefficients& mu, RandomStream& random);

// Ratio x = E / E' of a free-electron Compton scattering at alpha = E / mc^2,
// distributed as the Klein-Nishina cross section. Kahn's rejection method
// (Kahn 1956, as given by Everett and Cashwell, LA-5157); efficient for
// alpha < 3, which holds for every photon below 1.5 MeV.
double SampleKleinNishinaRatio(double alpha, RandomStream& random);

// Incoherent scattering of a bound-electron photon of E keV: Klein-Nishina
// times the incoherent scattering function. A Klein-Nishina sample is kept
// with probability S(q) / S(infinity), q = E/hc sin(theta/2); the
// scattered energy is the Compton energy of the accepted angle (no Doppler
// broadening).
ScatteredPhoton SampleIncoherent(double E, const TissueModel& tissue, RandomStream& random);

// Cosine of the coherent scattering angle of a photon of E keV: Thomson
// times F(q)^2. q^2 is drawn from the running integral of F^2 d(q^2) up to
// (E/hc)^2 (d(q^2) is proportional to d(cos theta)), and kept with
// probability (1 + cos^2 theta) / 2.
double SampleCoherentCosine(double E, const TissueModel& tissue, RandomStream& random);

// The direction after a deflection by polar cosine cosTheta and azimuth phi
// (radians) about the old direction.
Direction Deflect(const Direction& d, double cosTheta, double phi);

} // namespace veltrim::mc
