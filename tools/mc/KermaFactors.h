#pragma once

#include "core/Grids.h"
#include "dose/Medium.h"
#include "dose/TissueTables.h"

#include <filesystem>

namespace veltrim::mc {

// The kerma per unit photon fluence, E x mu_en/rho in keV cm2/g, of ICRU
// soft tissue and of dry air at any photon energy of the transport, taken
// from the tables the program itself reads, so that a scatter kerma scored
// here and the program's primary kerma rest on the same coefficients:
// - tissue: the primary-dose factors of Primary.dat (E x mu_en/rho at the
//   nodes 10, 15, ..., 150 keV), between nodes linear in energy and in the
//   logarithm of the factor as the program forms its 0.5-keV table (the
//   same values on the bins); below 10 keV the 10-15 keV segment extended,
//   which only photons scattered from the 10-keV node ever need;
// - air: mu_en/rho of AirKerma.dat on the 0.5-keV bins, linear in log-log
//   between bins, times E.
class KermaFactors {
  public:
    KermaFactors(const PrimaryDoseNodeTable& tissueNodes, const EnergyTable& airMuEnOverRho);
    // The medium's Primary.dat and the AirKerma.dat of a data folder. Throws
    // DataFileError.
    static KermaFactors Read(const std::filesystem::path& dataFolder,
                             Medium medium = Medium::IcruFourComponent);

    double Tissue(double E) const;
    double Air(double E) const;

  private:
    PrimaryDoseNodeTable tissueNodes_;
    EnergyTable airMuEnOverRho_;
};

} // namespace veltrim::mc
