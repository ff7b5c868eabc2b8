// Thick-target bremsstrahlung spectrum of a tungsten anode, filtered by
// aluminium and copper, on the 0.5-keV grid. The order of every sum and
// product below is part of the result: it is kept as the model states it so
// that spectra are bit-identical run to run and between implementations.
#include "spectrum/SynthesizeSpectrum.h"

#include "core/CalculationError.h"
#include "spectrum/SpectrumModel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veltrim {
namespace {

// The model's own approximation of pi for phase angles, kept apart from the
// shared Pi on purpose: both are 3.14159, but they are different constants.
constexpr double PhasePi = 3.14159;

struct PhaseSample {
    double Angle;  // degrees
    double Weight; // tube-current weight of the sample
};

std::vector<PhaseSample> PhaseSamples(RectificationMethod method) {
    std::vector<PhaseSample> samples;
    switch (method) {
    case RectificationMethod::ThreePhase12Peak:
        for (int phi = 75; phi <= 90; ++phi)
            samples.push_back({static_cast<double>(phi), 1.0});
        break;
    case RectificationMethod::SinglePhaseFullWave:
        // The tube current follows the voltage until 75 % of the peak.
        for (int phi = 2; phi <= 90; phi += 2) {
            const double s = std::sin(phi * PhasePi / 180);
            samples.push_back({static_cast<double>(phi), std::pow(std::min(1.0, s / 0.75), 1.5)});
        }
        break;
    case RectificationMethod::ConstantPotential:
    default:
        samples.push_back({90.0, 1.0});
        break;
    }
    return samples;
}

// Highest bin j with 0.5 j <= x, for the loops "j = 2 while j <= 2x".
int TopBin(double twiceVoltage) {
    return static_cast<int>(std::floor(twiceVoltage));
}

} // namespace

SynthesizedSpectrum UnfilteredSpectrum(const IrradiationConditions& cond,
                                       const AttenuationTables& attenuation, double pi) {
    if (const std::optional<Message> problem = SpectrumInputProblem(cond, pi))
        throw CalculationError(*problem);
    if (!(cond.TubeVoltage >= MinTubeVoltage && cond.TubeVoltage <= MaxTubeVoltage))
        FailCalculation(MessageId::TubeVoltageOutOfRange);

    SynthesizedSpectrum result;
    const EnergyTable& muW = attenuation.MuTungsten;
    EnergyTable& spectrum = result.Spectrum;
    EnergyTable& phase = result.LastPhase;

    // Cotangent of the target angle: turns an emission depth into the path out of the anode.
    const double c = TargetCotangent(cond.TargetAngle, pi);

    // Quantities of the electron energy T = 0.5 k alone, the same for every
    // phase sample: the relativistic factor and the energy-loss divisor.
    EnergyTable relativistic{};
    EnergyTable lossDivisor{};
    EnergyTable tSquared{};
    for (int k = 2; k <= 300; ++k) {
        const double T = 0.5 * k;
        relativistic[k] = 1 + 511 / T;
        lossDivisor[k] = 1036.1 * std::exp(-0.04695 * T) + 202.41;
        tSquared[k] = T * T;
    }

    const std::vector<PhaseSample> samples = PhaseSamples(cond.Rectification);
    double lastV = 0.0;
    EnergyTable depth{}; // x(T) of the sample under way
    for (const PhaseSample& sample : samples) {
        const double V = cond.TubeVoltage * std::sin(sample.Angle * PhasePi / 180);
        lastV = V;
        const int top = TopBin(2 * V);
        // Depth constant of the target (Thomson-Whiddington), keV^2 cm^2/g.
        const double C = 141766 + 12157 * V - 111.046 * (V * V) + 0.552536 * (V * V * V) -
                         0.000970158 * (V * V * V * V);
        const double stopping = 19.3 * C;
        const double shapeScale = 0.03658 + 0.000029 * V;
        // Path out of the anode of a photon made where the electron has slowed to T.
        for (int k = 2; k <= top; ++k)
            depth[k] = ((V * V - tSquared[k]) / stopping) * c;

        for (int j = 2; j <= top; ++j) {
            const double E = 0.5 * j;
            const double mu = muW[j];
            double sum = 0.0;
            for (int k = j; k <= top; ++k) {
                const double T = 0.5 * k;
                const double u = E / T;
                const double B = shapeScale * (1 - 5.049 * u + 10.847 * (u * u) -
                                               10.516 * (u * u * u) + 3.842 * (u * u * u * u));
                sum += ((relativistic[k] * B / lossDivisor[k]) * std::exp(-mu * depth[k]));
            }
            phase[j] = sum;
        }

        // Characteristic K lines of tungsten, as a share k (%) of this sample's continuum.
        if (V > 70) {
            const double kShare = KLineShare(V);
            double S = 0.0;
            for (int j = 2; j <= top; ++j)
                S += phase[j];
            const double K = S * kShare * 0.01;
            phase[119] += K * 0.5048; // 59.5 keV
            phase[116] += K * 0.2908; // 58.0 keV
            phase[134] += K * 0.162;  // 67.0 keV
            phase[138] += K * 0.0424; // 69.0 keV
        }

        for (int j = 2; j <= top; ++j)
            spectrum[j] += phase[j] * sample.Weight;
    }

    const double sampleCount = static_cast<double>(samples.size());
    for (int j = 2; j <= TopBin(2 * lastV); ++j)
        spectrum[j] = spectrum[j] / sampleCount;
    return result;
}

EnergyTable FilteredSpectrum(const EnergyTable& unfiltered, const IrradiationConditions& cond,
                             const AttenuationTables& attenuation) {
    // Filtration (the inherent filtration counts as aluminium) and conversion
    // from intensity to photon number.
    const int top = TopBin(2 * cond.TubeVoltage);
    const double aluminium = cond.AlFilter + cond.InherentFiltration;
    EnergyTable spectrum = unfiltered;
    for (int j = 2; j <= top; ++j)
        spectrum[j] = spectrum[j] * std::exp(-attenuation.MuAluminium[j] * aluminium) *
                      std::exp(-attenuation.MuCopper[j] * cond.CuFilter) / (0.5 * j);

    double total = 0.0;
    for (int j = 2; j <= top; ++j)
        total += spectrum[j];
    if (!std::isfinite(total))
        FailCalculation(MessageId::FiltrationInfinite);
    if (!(total > 0.0)) {
        const bool anodeAbsorbed =
            std::none_of(unfiltered.begin(), unfiltered.end(), [](double v) { return v > 0.0; });
        if (anodeAbsorbed)
            FailCalculation(MessageId::AnodeAbsorbsBeam, {Arg(cond.TargetAngle)});
        FailCalculation(MessageId::FiltrationAbsorbsBeam);
    }
    for (int j = 2; j <= top; ++j) {
        spectrum[j] = spectrum[j] / total;
        if (spectrum[j] < 1e-10)
            spectrum[j] = 0.0;
    }
    return spectrum;
}

SynthesizedSpectrum SynthesizeSpectrum(const IrradiationConditions& conditions,
                                       const AttenuationTables& attenuation, double pi) {
    SynthesizedSpectrum result = UnfilteredSpectrum(conditions, attenuation, pi);
    result.Spectrum = FilteredSpectrum(result.Spectrum, conditions, attenuation);
    return result;
}

} // namespace veltrim
