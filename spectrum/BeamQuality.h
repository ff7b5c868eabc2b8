#pragma once

#include "spectrum/AttenuationTables.h"

#include <filesystem>
#include <optional>
#include <string>

namespace veltrim {

// Mass energy-absorption coefficient of dry air, cm2/g, on the energy grid
// (same layout as the attenuation files); read only for the beam-quality
// report.
inline constexpr const char* AirKermaFile = "AirKerma.dat";

// The figures a physicist checks first of a beam.
struct BeamQuality {
    double MeanEnergyKeV = 0.0; // photon-fluence weighted
    double Hvl1MmAl = 0.0;      // aluminium that halves the air kerma, mm
    double Hvl2MmAl = 0.0;      // the further aluminium that halves it again, mm
};

// Air kerma behind t cm of aluminium, in arbitrary units:
//   K(t) = sum over bins i of Spectrum[i] x E_i x (mu_en/rho)_air,i x exp(-mu_Al,i t),
// bins 1..300, E_i = 0.5 i keV, mu_Al in 1/cm. The beam reaches the
// aluminium directly: no air path is included.
double AirKermaBehindAluminium(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                               const EnergyTable& airMuEnOverRho, double thicknessCm);

// Mean energy and the first and second half-value layers in mm Al, from the
// photon spectrum (relative fluence per bin), the aluminium attenuation of
// the shipped tables (1/cm) and air mu_en/rho (cm2/g). The thicknesses solve
// K(HVL1) = K(0)/2 and K(HVL1 + HVL2) = K(0)/4 by bisection to 1e-9 mm,
// searched up to 1000 mm and at most 200 halvings. Empty when the spectrum
// carries no air kerma, a table value needed is not positive, or a layer is
// not reached within the search.
std::optional<BeamQuality> ComputeBeamQuality(const EnergyTable& spectrum,
                                              const EnergyTable& muAluminium,
                                              const EnergyTable& airMuEnOverRho);

// The same, with the reason when there are no figures.
struct BeamQualityResult {
    std::optional<BeamQuality> Quality;
    std::string Problem; // empty when Quality holds the figures
};
BeamQualityResult AssessBeamQuality(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                                    const EnergyTable& airMuEnOverRho);

// One line for the command line: mean energy (keV, 2 decimals), HVL1 and
// HVL2 (mm Al, 3 decimals), saying that they are air-kerma weighted and that
// no air path is included.
std::string BeamQualityReport(const BeamQuality& quality);

} // namespace veltrim
