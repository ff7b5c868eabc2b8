#pragma once

#include "core/Conditions.h"
#include "core/Grids.h"
#include "spectrum/AttenuationTables.h"

namespace veltrim {

struct SynthesizedSpectrum {
    // Photon fractions per 0.5-keV bin, summing to 1; bins below 1e-10 are 0.
    EnergyTable Spectrum{};
    // The unfiltered intensity of the last phase sample of the waveform.
    EnergyTable LastPhase{};
};

// The filtered photon spectrum of a tungsten anode for the conditions (filters
// in cm, the tube voltage in kV, the target angle in degrees), with the model's
// pi for the target angle. Throws CalculationError when the conditions are out
// of the model's range or the beam is absorbed entirely.
SynthesizedSpectrum SynthesizeSpectrum(const IrradiationConditions& conditions,
                                       const AttenuationTables& attenuation, double pi);

// The two halves of SynthesizeSpectrum, for searches over the filters: the
// intensity leaving the anode (averaged over the phase samples; Spectrum
// holds it, not yet photon fractions), and that intensity through the
// filters of `conditions`, as photon fractions. Filtering the same
// unfiltered spectrum gives the same bits as a whole synthesis.
SynthesizedSpectrum UnfilteredSpectrum(const IrradiationConditions& conditions,
                                       const AttenuationTables& attenuation, double pi);
EnergyTable FilteredSpectrum(const EnergyTable& unfiltered, const IrradiationConditions& conditions,
                             const AttenuationTables& attenuation);

} // namespace veltrim
