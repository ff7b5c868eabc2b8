#pragma once

#include "tools/xrl/XrayLib.h"

#include <vector>

namespace veltrim::mc {

// Linear interaction coefficients of the phantom material at one photon
// energy, 1/cm.
struct Coefficients {
    double Photoelectric = 0.0;
    double Incoherent = 0.0;
    double Coherent = 0.0;
    double Total() const { return Photoelectric + Incoherent + Coherent; }
};

// The photon physics of one material, tabulated once from xraylib so that
// transport never calls it:
// - the three interaction coefficients on a fine grid uniform in ln E,
//   interpolated linearly in log-log (the cross sections are smooth power
//   laws between absorption edges, and H, C, N, O have none above 1 keV);
// - the incoherent scattering function of the mixture, sum over elements of
//   (mass fraction / atomic weight) x S(Z, q), divided by its limit for large
//   q, sum of (mass fraction / atomic weight) x Z, so that it is the
//   acceptance probability of the Klein-Nishina sample;
// - the squared form factor of the mixture, sum of (mass fraction / atomic
//   weight) x F(Z, q)^2 (independent atoms), and its running integral over
//   q^2, from which coherent momentum transfers are drawn.
// Units: E in keV, q = sin(theta/2) / lambda in 1/angstrom.
class TissueModel {
  public:
    static constexpr double kMinEnergy = 1.0;   // keV: below it photons are absorbed on the spot
    static constexpr double kMaxEnergy = 151.0; // keV: a little above the highest node
    static constexpr double kMaxQ = 12.5;       // 1/angstrom: above E/hc at 151 keV

    TissueModel(const xrl::Material& material, int energyPoints = 4001, int qPoints = 6251);

    const xrl::Material& Material() const { return material_; }

    // Interaction coefficients at E keV (kMinEnergy <= E <= kMaxEnergy).
    Coefficients At(double E) const;

    // S_mixture(q) / S_mixture(infinity), in [0, 1]; q >= 0.
    double IncoherentAcceptance(double q) const;

    // The squared form factor of the mixture at q, mol/g (electrons^2).
    double FormFactorSquared(double q) const;

    // The q^2 below which the fraction `share` (0..1) of the integral of
    // F^2 d(q^2) over [0, q2Max] lies: the inverse of the running integral.
    // q2Max in 1/angstrom^2, at most kMaxQ^2.
    double InverseFormFactorIntegral(double q2Max, double share) const;

  private:
    double FormFactorIntegral(double q2) const;

    xrl::Material material_;
    double lnE0_ = 0.0;
    double lnStep_ = 0.0;
    std::vector<double> lnPhoto_, lnIncoh_, lnCoh_;
    double qStep_ = 0.0;
    std::vector<double> incoherentAcceptance_;
    std::vector<double> q2_;         // grid of q^2
    std::vector<double> f2_;         // F^2 on it
    std::vector<double> f2Integral_; // running integral of F^2 d(q^2), trapezoid on q^2
};

} // namespace veltrim::mc
