#pragma once

// The one door to xraylib (libxrl, 4.0.0) for the data generators and the
// Monte Carlo tool. Every call that xraylib can refuse throws XrayLibError
// with xraylib's own message; nothing here returns xraylib's silent 0.
//
// Units throughout: photon energy E in keV, scattering angle theta in
// radians, momentum transfer q = sin(theta/2) / lambda in 1/angstrom, cross
// sections in cm2/g, differential cross sections in cm2/g/sr, density in
// g/cm3, atomic weight in g/mol.

#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim::xrl {

class XrayLibError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "4.0.0": the library version the headers were compiled against.
std::string Version();

// Atomic weight of element Z, g/mol.
double AtomicWeight(int Z);

// Total mass attenuation coefficient of element Z at E keV, cm2/g
// (photoelectric + coherent + incoherent).
double CS_Total(int Z, double E);
// Coherent (Rayleigh) scattering, cm2/g.
double CS_Rayl(int Z, double E);
// Incoherent (Compton, bound electrons) scattering, cm2/g.
double CS_Compt(int Z, double E);
// Photoelectric absorption, cm2/g.
double CS_Photo(int Z, double E);

// Differential coherent scattering of element Z, cm2/g/sr, at E keV and
// polar angle theta (radians), unpolarised photons.
double DCS_Rayl(int Z, double E, double theta);
// Differential incoherent scattering of element Z, cm2/g/sr: Klein-Nishina
// times the incoherent scattering function S(q).
double DCS_Compt(int Z, double E, double theta);
// Klein-Nishina differential cross section of one free electron,
// barn/electron/sr.
double DCS_KN(double E, double theta);

// Atomic form factor F(Z, q), q in 1/angstrom; dimensionless (electrons).
double FF_Rayl(int Z, double q);
// Incoherent scattering function S(Z, q), q in 1/angstrom; dimensionless.
double SF_Compt(int Z, double q);
// S(Z, q) for every q >= 0. xraylib's table starts at q = 0.001 1/angstrom
// and refuses anything below; there S(q) is continued as S(0.001) x
// (q/0.001)^2, its small-q limit, with S(0) = 0. Above 0.001 it is SF_Compt.
double SF_ComptAnyQ(int Z, double q);
// DCS_Compt at every angle, forward scattering included, cm2/g/sr:
// Klein-Nishina x SF_ComptAnyQ. Equal to DCS_Compt wherever that answers.
double DCS_ComptAnyAngle(int Z, double E, double theta);

// Momentum transfer q = E / (hc) * sin(theta/2) in 1/angstrom, E keV,
// theta radians.
double MomentTransf(double E, double theta);

// One element of a material and its share of the mass (0..1).
struct Constituent {
    int Z = 0;
    double MassFraction = 0.0;
};

// A homogeneous material: elements with mass fractions summing to 1, and a
// density in g/cm3.
struct Material {
    std::string Name;
    std::vector<Constituent> Elements;
    double Density = 0.0;
};

// A pure element at the given density, g/cm3.
Material Element(const std::string& name, int Z, double density);

// A compound of xraylib's NIST list by its exact name, e.g.
// "Air, Dry (near sea level)"; composition and density as xraylib holds them.
Material NistCompound(const std::string& name);

// The materials of Veltrim's data. The soft tissue is the ICRU
// four-component tissue, H 10.1172, C 11.1000, N 2.6000, O 76.1828 % by
// mass, 1.00 g/cm3, written out here and checked against xraylib's NIST
// compound "Tissue, Soft (ICRU four-component)" on first use (throws
// XrayLibError when they disagree by more than 1e-4 in any mass fraction).
Material IcruSoftTissue();
// ICRU Report 44 (1989) soft tissue, as NIST tabulates it ("Tissue, Soft
// (ICRU-44)"): H 10.2, C 14.3, N 3.4, O 70.8, Na 0.2, P 0.3, S 0.3, Cl 0.2,
// K 0.3 % by mass, 1.06 g/cm3. xraylib has no such compound to check it by.
Material IcruSoftTissue44();
// Liquid water, H 11.1894, O 88.8106 % by mass, 1.00 g/cm3, and PMMA
// (polymethyl methacrylate), H 8.0538, C 59.9848, O 31.9614 %, 1.19 g/cm3:
// written out and checked against xraylib's NIST compounds as the
// four-component tissue is.
Material Water();
Material Pmma();
// Dry air near sea level, xraylib's NIST compound (1.205e-3 g/cm3).
Material DryAir();
// Tungsten 19.3, aluminium 2.699, copper 8.96 g/cm3.
Material Tungsten();
Material Aluminium();
Material Copper();

// Mixture cross sections in cm2/g: sums over the elements of mass fraction
// times the element's cross section (Bragg additivity).
double CS_Total(const Material& material, double E);
double CS_Rayl(const Material& material, double E);
double CS_Compt(const Material& material, double E);
double CS_Photo(const Material& material, double E);
// Mixture differential cross sections in cm2/g/sr, summed the same way.
double DCS_Rayl(const Material& material, double E, double theta);
double DCS_Compt(const Material& material, double E, double theta);

// Total linear attenuation coefficient, 1/cm: CS_Total x density.
double LinearAttenuation(const Material& material, double E);

} // namespace veltrim::xrl
