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
// Linear attenuation coefficient of dry air (1.205 mg/cm3), 1/cm, on the
// energy grid: the air path between the focus and the point where a
// half-value layer is measured. Read only for the beam quality.
inline constexpr const char* AirAttenuationFile = "AirAttenuation.dat";

// The figures a physicist checks first of a beam.
struct BeamQuality {
    double MeanEnergyKeV = 0.0; // photon-fluence weighted
    double Hvl1MmAl = 0.0;      // aluminium that halves the air kerma, mm
    double Hvl2MmAl = 0.0;      // the further aluminium that halves it again, mm
    double Homogeneity = 0.0;   // HVL1 / HVL2
    // The photon energy whose aluminium attenuation gives the same HVL1
    // (keV); empty when it lies above the table's 150 keV.
    std::optional<double> EffectiveEnergyKeV;
};

// The two air tables of the beam quality, in the layout of the attenuation
// files: mu_en/rho (cm2/g) for the kerma, mu (1/cm) for an air path.
struct AirTables {
    EnergyTable MuEnOverRho{};
    EnergyTable Mu{};
};
// Reads AirKerma.dat and AirAttenuation.dat. Throws DataFileError.
AirTables ReadAirTables(const std::filesystem::path& dataFolder);

// The spectrum after `cm` of dry air: each bin times exp(-mu_air cm).
EnergyTable ThroughAir(const EnergyTable& spectrum, const EnergyTable& airMu, double cm);

// The energy E at which mu_Al(E) = ln 2 / HVL1, interpolated log-log between
// the bins of the aluminium table, searched down from 150 keV; empty when no
// bin from 1 keV up brackets it.
std::optional<double> EffectiveEnergy(double hvl1MmAl, const EnergyTable& muAluminium);

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

// The figures of a spectrum measured at the end of `airCm` of dry air.
BeamQualityResult AssessBeamQuality(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                                    const AirTables& air, double airCm);

// The first half-value layer alone (mm Al), for searches; empty as above.
std::optional<double> FirstHalfValueLayer(const EnergyTable& spectrum,
                                          const EnergyTable& muAluminium,
                                          const EnergyTable& airMuEnOverRho);

// One line for the command line: mean energy (keV, 2 decimals), HVL1 and
// HVL2 (mm Al, 3 decimals), saying that they are air-kerma weighted and that
// no air path is included.
std::string BeamQualityReport(const BeamQuality& quality);

} // namespace veltrim
