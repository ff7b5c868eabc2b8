// 2.4: beams given by their measured HVL1. For each reference beam the added
// aluminium that gives its measured HVL1 is found by the program's own search
// (spectrum/HvlMatching.h) at the reference's anode angle and air path; the
// matched beam's HVL2 and mean energy are then compared with the reference's.
#include "calculation/CalculateBeam.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <cmath>

namespace veltrim::validate {
MatchingStudy StudyMatching(const Engine& calc) {
    MatchingStudy out;
    const AirTables& air = calc.Data().Air();
    // PTB: 20 degrees, 2.5 mm Al, 950 mm air; the Be window is not part of
    // the match (the program knows no window), so its share of the measured
    // HVL1 goes to the aluminium found.
    for (const auto& ref : refs::Ptb) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 20;
        const BeamQuality before =
            AssessBeamQuality(calc.Spectrum(beam), calc.Attenuation().MuAluminium, air, 95.0)
                .Quality.value();
        const Hvl1Match match =
            MatchBeamHvl1(beam, ref.Hvl1, MatchFilter::Aluminium, 95.0, calc.Data());
        out.Ptb.push_back({ref, before, match.AddedMm, match.Quality});
        out.WorstHvl1Miss =
            std::max(out.WorstHvl1Miss, std::fabs(match.Quality.Hvl1MmAl - ref.Hvl1));
        out.WorstPtbHvl2Before =
            std::max(out.WorstPtbHvl2Before, std::fabs(before.Hvl2MmAl / ref.Hvl2 - 1));
        out.WorstPtbHvl2After =
            std::max(out.WorstPtbHvl2After, std::fabs(match.Quality.Hvl2MmAl / ref.Hvl2 - 1));
    }
    // ENEA-INMRI: 30 degrees, its total aluminium, 1000 mm air; its measured
    // HVL1 matched, the mean energy compared with SpekCalc's for that beam.
    for (const auto& ref : refs::Enea) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 30;
        beam.InherentFiltration = Mm(ref.TotalAlMm);
        const BeamQuality before =
            AssessBeamQuality(calc.Spectrum(beam), calc.Attenuation().MuAluminium, air, 100.0)
                .Quality.value();
        const Hvl1Match match =
            MatchBeamHvl1(beam, ref.ReferenceHvl1, MatchFilter::Aluminium, 100.0, calc.Data());
        out.Enea.push_back({ref, before, match.AddedMm, match.Quality});
        out.WorstHvl1Miss =
            std::max(out.WorstHvl1Miss, std::fabs(match.Quality.Hvl1MmAl - ref.ReferenceHvl1));
        out.WorstMeanBefore = std::max(out.WorstMeanBefore,
                                       std::fabs(before.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1));
        out.WorstMeanAfter = std::max(
            out.WorstMeanAfter, std::fabs(match.Quality.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1));
    }
    return out;
}

} // namespace veltrim::validate
