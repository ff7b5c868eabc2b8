#pragma once

// Mass energy-absorption coefficients, mu_en/rho in cm2/g, computed from
// xraylib's cross sections and tied to the NIST Hubbell-Seltzer table.
//
// Computed: photoelectric absorption deposits the whole photon energy (the
// fluorescence of H, C, N, O is negligible); incoherent scattering deposits
// the mean energy given to the electron, averaged over the Klein-Nishina x
// S(q) angular distribution; coherent scattering deposits nothing.
//
// The NIST table is the reference but too coarse to interpolate directly
// (mu_en/rho bends through a minimum near 80-100 keV); the ratio NIST /
// computed is small and smooth, so it is interpolated log-log in energy and
// applied to the computed value.

#include "tools/datagen/NistTable.h"
#include "tools/xrl/XrayLib.h"

namespace veltrim::datagen {

// Mean fraction of the photon energy E (keV) that an incoherently scattered
// photon gives to the electron in element Z:
//   <T>/E = Int dsigma/dOmega (1 - E'/E) dOmega / Int dsigma/dOmega dOmega,
// dsigma/dOmega = Klein-Nishina x S(q), E' the Compton-scattered energy.
double IncoherentEnergyTransferFraction(int Z, double E);

// Computed mu_en/rho of a material at E keV, cm2/g (see the file comment).
double ComputedMuEnOverRho(const xrl::Material& material, double E);

// mu_en/rho tied to NIST: computed x (NIST / computed), the ratio
// interpolated log-log between the table's rows on the same side of any
// absorption edge; below the first row the first ratio holds. E in keV.
// Throws std::runtime_error for a table without mu_en/rho.
class NistTiedMuEn {
  public:
    NistTiedMuEn(xrl::Material material, NistTable table);

    double operator()(double E) const;
    // NIST / computed at E keV, interpolated as the tied value uses it.
    double NistOverComputed(double E) const { return Ratio(E); }
    // NIST / computed at each row of the table (edge rows evaluated on their
    // own side of the edge).
    const std::vector<double>& Ratios() const { return ratios_; }
    const NistTable& Table() const { return table_; }
    const xrl::Material& Material() const { return material_; }

  private:
    double Ratio(double E) const;

    xrl::Material material_;
    NistTable table_;
    std::vector<double> ratioEnergies_; // keV, where each ratio was taken
    std::vector<double> ratios_;
};

} // namespace veltrim::datagen
