#include "spectrum/BeamQuality.h"

#include <cmath>
#include <cstdio>

namespace veltrim {
namespace {

constexpr int FirstBin = 1;
constexpr int LastBin = 300;
constexpr double ToleranceCm = 1e-10;

// The thickness at which the air kerma has fallen to `target`, between `low`
// (where it is above) and a doubling upper bound.
double ThicknessForKerma(const EnergyTable& spectrum, const EnergyTable& muAluminium,
                         const EnergyTable& airMuEnOverRho, double target, double low) {
    double high = low + 0.1;
    while (AirKermaBehindAluminium(spectrum, muAluminium, airMuEnOverRho, high) > target) {
        high = low + 2.0 * (high - low);
    }
    while (high - low > ToleranceCm) {
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
    double photons = 0.0;
    double energySum = 0.0;
    for (int i = FirstBin; i <= LastBin; ++i) {
        if (!(spectrum[i] >= 0.0) || !std::isfinite(spectrum[i])) {
            return std::nullopt;
        }
        if (spectrum[i] > 0.0 && !(muAluminium[i] > 0.0 && airMuEnOverRho[i] > 0.0)) {
            return std::nullopt;
        }
        photons += spectrum[i];
        energySum += spectrum[i] * 0.5 * i;
    }
    const double kerma0 = AirKermaBehindAluminium(spectrum, muAluminium, airMuEnOverRho, 0.0);
    if (!(photons > 0.0) || !(kerma0 > 0.0) || !std::isfinite(kerma0)) {
        return std::nullopt;
    }
    const double half = ThicknessForKerma(spectrum, muAluminium, airMuEnOverRho, 0.5 * kerma0, 0.0);
    const double quarter =
        ThicknessForKerma(spectrum, muAluminium, airMuEnOverRho, 0.25 * kerma0, half);
    BeamQuality quality;
    quality.MeanEnergyKeV = energySum / photons;
    quality.Hvl1MmAl = 10.0 * half;
    quality.Hvl2MmAl = 10.0 * (quarter - half);
    return quality;
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
