// 2.4: beams given by their measured HVL1. For each reference beam the added
// aluminium that gives its measured HVL1 is found by the program's own search
// (spectrum/HvlMatching.h) at the reference's anode angle and air path; the
// matched beam's HVL2 and mean energy are then compared with the reference's.
#include "engine/CalculateBeam.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <cmath>

namespace veltrim::validate {
namespace {

// A reference beam's quality as the conditions give it, and the match of
// its measured HVL1 by added aluminium, both at the end of its air path.
struct Matched {
    BeamQuality Before;
    Hvl1Match Match;
};

Matched MatchReference(const Engine& calc, const IrradiationConditions& beam, double hvl1,
                       double airCm) {
    const BeamQuality before =
        AssessBeamQuality(calc.Spectrum(beam), calc.Attenuation().MuAluminium, calc.Data().Air(),
                          airCm)
            .Quality.value();
    return {before, MatchBeamHvl1(beam, hvl1, MatchFilter::Aluminium, airCm, calc.Data())};
}

} // namespace

MatchingStudy StudyMatching(const Engine& calc) {
    MatchingStudy out;
    // PTB: 20 degrees, 2.5 mm Al, 950 mm air; the Be window is not part of
    // the match (the program knows no window), so its share of the measured
    // HVL1 goes to the aluminium found.
    for (const auto& ref : refs::Ptb) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 20;
        const auto [before, match] = MatchReference(calc, beam, ref.Hvl1, 95.0);
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
        const auto [before, match] = MatchReference(calc, beam, ref.ReferenceHvl1, 100.0);
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
