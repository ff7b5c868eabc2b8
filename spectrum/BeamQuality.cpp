#include "spectrum/BeamQuality.h"

#include <cmath>
#include <cstdio>

namespace veltrim {
namespace {

constexpr int FirstBin = 1;
constexpr int LastBin = 300;
constexpr double ToleranceCm = 1e-10;
// Every search ends: no half-value layer of a diagnostic beam comes near a
// metre of aluminium, and halving an interval of 1 m to 1e-10 cm takes 40
// steps, so a search that needs more has gone wrong.
constexpr double SearchLimitCm = 100.0;
constexpr int MaxBisectionSteps = 200;

// The thickness at which the air kerma has fallen to `target`, between `low`
// (where it is above) and a doubling upper bound; nothing when the kerma is
// still above the target at SearchLimitCm.
std::optional<double> ThicknessForKerma(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                                        const EnergyTable& airMuEnOverRho, double target,
                                        double low) {
    double high = low + 0.1;
    while (AirKermaBehindAluminium(spectrum, muAluminium, airMuEnOverRho, high) > target) {
        if (high >= SearchLimitCm)
            return std::nullopt;
        high = low + 2.0 * (high - low);
    }
    for (int step = 0; step < MaxBisectionSteps && high - low > ToleranceCm; ++step) {
        const double middle = 0.5 * (low + high);
        if (AirKermaBehindAluminium(spectrum, muAluminium, airMuEnOverRho, middle) > target) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return 0.5 * (low + high);
}

} // namespace

double AirKermaBehindAluminium(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                               const EnergyTable& airMuEnOverRho, double thicknessCm) {
    double kerma = 0.0;
    for (int i = FirstBin; i <= LastBin; ++i) {
        const double energy = 0.5 * i;
        kerma += spectrum[i] * energy * airMuEnOverRho[i] * std::exp(-muAluminium[i] * thicknessCm);
    }
    return kerma;
}

std::optional<BeamQuality> ComputeBeamQuality(const EnergyTable& spectrum,
                                              const EnergyTable& muAluminium,
                                              const EnergyTable& airMuEnOverRho) {
    return AssessBeamQuality(spectrum, muAluminium, airMuEnOverRho).Quality;
}

BeamQualityResult AssessBeamQuality(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                                    const EnergyTable& airMuEnOverRho) {
    const BeamQualityResult noKerma{std::nullopt, "the spectrum carries no air kerma"};
    double photons = 0.0;
    double energySum = 0.0;
    for (int i = FirstBin; i <= LastBin; ++i) {
        if (!(spectrum[i] >= 0.0) || !std::isfinite(spectrum[i])) {
            return noKerma;
        }
        if (spectrum[i] > 0.0 && !(muAluminium[i] > 0.0 && airMuEnOverRho[i] > 0.0)) {
            return {std::nullopt, "a coefficient of the aluminium or air table is not positive"};
        }
        photons += spectrum[i];
        energySum += spectrum[i] * 0.5 * i;
    }
    const double kerma0 = AirKermaBehindAluminium(spectrum, muAluminium, airMuEnOverRho, 0.0);
    if (!(photons > 0.0) || !(kerma0 > 0.0) || !std::isfinite(kerma0)) {
        return noKerma;
    }
    const char* notReached = "the half-value layer is not reached within 1000 mm of aluminium";
    const std::optional<double> half =
        ThicknessForKerma(spectrum, muAluminium, airMuEnOverRho, 0.5 * kerma0, 0.0);
    if (!half)
        return {std::nullopt, notReached};
    const std::optional<double> quarter =
        ThicknessForKerma(spectrum, muAluminium, airMuEnOverRho, 0.25 * kerma0, *half);
    if (!quarter)
        return {std::nullopt, notReached};
    BeamQuality quality;
    quality.MeanEnergyKeV = energySum / photons;
    quality.Hvl1MmAl = 10.0 * *half;
    quality.Hvl2MmAl = 10.0 * (*quarter - *half);
    quality.Homogeneity = quality.Hvl1MmAl / quality.Hvl2MmAl;
    quality.EffectiveEnergyKeV = EffectiveEnergy(quality.Hvl1MmAl, muAluminium);
    return {quality, {}};
}

BeamQualityResult AssessBeamQuality(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                                    const AirTables& air, double airCm) {
    return AssessBeamQuality(ThroughAir(spectrum, air.Mu, airCm), muAluminium, air.MuEnOverRho);
}

std::optional<double> FirstHalfValueLayer(const EnergyTable& spectrum,
                                          const EnergyTable& muAluminium,
                                          const EnergyTable& airMuEnOverRho) {
    const double kerma0 = AirKermaBehindAluminium(spectrum, muAluminium, airMuEnOverRho, 0.0);
    if (!(kerma0 > 0.0) || !std::isfinite(kerma0))
        return std::nullopt;
    const std::optional<double> half =
        ThicknessForKerma(spectrum, muAluminium, airMuEnOverRho, 0.5 * kerma0, 0.0);
    if (!half)
        return std::nullopt;
    return 10.0 * *half;
}

AirTables ReadAirTables(const std::filesystem::path& dataFolder) {
    AirTables air;
    air.MuEnOverRho = ReadAttenuationFile(dataFolder / AirKermaFile);
    air.Mu = ReadAttenuationFile(dataFolder / AirAttenuationFile);
    return air;
}

EnergyTable ThroughAir(const EnergyTable& spectrum, const EnergyTable& airMu, double cm) {
    EnergyTable out = spectrum;
    if (cm == 0.0)
        return out;
    for (int i = FirstBin; i <= LastBin; ++i)
        out[i] = spectrum[i] * std::exp(-airMu[i] * cm);
    return out;
}

std::optional<double> EffectiveEnergy(double hvl1MmAl, const EnergyTable& muAluminium) {
    // ln 2 over the HVL in cm: the attenuation coefficient of that energy.
    const double target = std::log(2.0) / (hvl1MmAl / 10.0);
    if (!(target > 0.0) || !std::isfinite(target))
        return std::nullopt;
    // From the top down: above aluminium's K edge (1.56 keV) mu falls with energy.
    for (int i = LastBin; i > 2; --i) {
        const double high = muAluminium[i];
        const double low = muAluminium[i - 1];
        if (!(high > 0.0) || !(low > 0.0))
            return std::nullopt;
        if (low >= target && target >= high) {
            const double lnLow = std::log(0.5 * (i - 1));
            const double lnHigh = std::log(0.5 * i);
            const double t =
                low == high ? 0.0
                            : (std::log(target) - std::log(low)) / (std::log(high) - std::log(low));
            return std::exp(lnLow + t * (lnHigh - lnLow));
        }
    }
    return std::nullopt;
}

std::string BeamQualityReport(const BeamQuality& quality) {
    char text[200];
    std::snprintf(
        text, sizeof text,
        "mean energy %.2f keV; HVL1 %.3f mm Al, HVL2 %.3f mm Al (air kerma, no air path included)",
        quality.MeanEnergyKeV, quality.Hvl1MmAl, quality.Hvl2MmAl);
    return text;
}

} // namespace veltrim
