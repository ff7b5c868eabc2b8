#include "spectrum/HvlMatching.h"

#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "spectrum/SynthesizeSpectrum.h"

#include <cmath>

namespace veltrim {
namespace {

// The conditions with `mm` of the chosen filter. Divided by 10 rather than
// read through CmFromMm: the filters found and saved so far were formed so,
// and the other rounding would move their last bit.
IrradiationConditions WithFilter(IrradiationConditions c, MatchFilter filter, double mm) {
    switch (filter) {
    case MatchFilter::Copper:
        c.CuFilter = mm / 10.0;
        break;
    case MatchFilter::Inherent:
        c.InherentFiltration = mm / 10.0;
        break;
    case MatchFilter::Aluminium:
        c.AlFilter = mm / 10.0;
        break;
    }
    return c;
}

// A thickness for a message: three decimals, or four significant digits for
// a value no beam comes near (a mistyped exponent), which would otherwise
// fill the message with hundreds of digits.
Message::Argument Mm(double mm) {
    return Arg(FormatC(std::fabs(mm) < 1e6 ? "%.3f" : "%.4g", mm));
}

Message FilterName(MatchFilter filter) {
    return Message(filter == MatchFilter::Copper     ? MessageId::FilterCopper
                   : filter == MatchFilter::Inherent ? MessageId::FilterInherent
                                                     : MessageId::FilterAluminium);
}

} // namespace

std::string AddedFilterText(const Hvl1Match& match) {
    return FormatC("%.*f", match.Decimals, match.AddedMm);
}

Hvl1Match MatchHvl1(const IrradiationConditions& conditions, const AttenuationTables& attenuation,
                    const AirTables& air, double pi, double measuredHvl1Mm, MatchFilter filter,
                    double airCm) {
    // The anode's spectrum does not depend on the filters: it is formed once.
    const EnergyTable unfiltered = UnfilteredSpectrum(conditions, attenuation, pi).Spectrum;
    const auto hvl1 = [&](double mm) {
        const EnergyTable spectrum =
            FilteredSpectrum(unfiltered, WithFilter(conditions, filter, mm), attenuation);
        const std::optional<double> h = FirstHalfValueLayer(
            ThroughAir(spectrum, air.Mu, airCm), attenuation.MuAluminium, air.MuEnOverRho);
        if (!h)
            FailCalculation(MessageId::BeamQualityMissing,
                            {Arg("the beam carries no air kerma or needs more than 1000 mm Al")});
        return *h;
    };
    const double most = filter == MatchFilter::Copper ? MaxMatchCopperMm : MaxMatchAluminiumMm;
    const double lowest = hvl1(0.0);
    const double highest = hvl1(most);
    const bool below = !(measuredHvl1Mm >= lowest - Hvl1MatchTolerance);
    if (below || !(measuredHvl1Mm <= highest + Hvl1MatchTolerance))
        throw Hvl1OutOfReachError(Message(filter == MatchFilter::Inherent
                                              ? MessageId::Hvl1InherentOutOfReach
                                              : MessageId::Hvl1OutOfReach,
                                          {Mm(measuredHvl1Mm), Mm(lowest), Mm(highest),
                                           Arg(FilterName(filter)), Arg(FormatC("%g", most))}),
                                  below);

    double low = 0.0;
    double high = most;
    double found = measuredHvl1Mm <= lowest ? 0.0 : 0.5 * (low + high);
    if (measuredHvl1Mm > lowest) {
        for (int step = 0; step < 200 && high - low > 1e-6; ++step) {
            found = 0.5 * (low + high);
            const double h = hvl1(found);
            if (std::fabs(h - measuredHvl1Mm) < 0.1 * Hvl1MatchTolerance)
                break;
            (h < measuredHvl1Mm ? low : high) = found;
        }
    }
    Hvl1Match match;
    // Copper changes the HVL some ten times faster than aluminium: a finer
    // step. Where the rounding still moves the HVL1 beyond the tolerance,
    // one more decimal at a time, down to 1e-7 mm.
    match.Decimals = filter == MatchFilter::Copper ? 4 : 3;
    double step = filter == MatchFilter::Copper ? 10000.0 : 1000.0;
    for (;; ++match.Decimals, step *= 10) {
        match.AddedMm = std::round(found * step) / step;
        match.Conditions = WithFilter(conditions, filter, match.AddedMm);
        const EnergyTable spectrum = FilteredSpectrum(unfiltered, match.Conditions, attenuation);
        const BeamQualityResult quality =
            AssessBeamQuality(spectrum, attenuation.MuAluminium, air, airCm);
        if (!quality.Quality)
            FailCalculation(MessageId::BeamQualityMissing, {Arg(quality.Problem)});
        match.Quality = *quality.Quality;
        if (std::fabs(match.Quality.Hvl1MmAl - measuredHvl1Mm) <= Hvl1MatchTolerance)
            return match;
        if (match.Decimals == 7)
            FailCalculation(
                MessageId::Hvl1NotMatched,
                {Mm(measuredHvl1Mm), Mm(match.Quality.Hvl1MmAl), Arg(FilterName(filter))});
    }
}

} // namespace veltrim
