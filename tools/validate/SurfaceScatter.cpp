#include "tools/validate/SurfaceScatter.h"

#include "tools/mc/Interactions.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/Random.h"
#include "tools/mc/TissueModel.h"

#include <cmath>
#include <numbers>

namespace veltrim::validate {

SurfaceScatter RunSurfaceScatter(double energyKeV, const mc::TissueModel& tissue,
                                 const SurfaceTallySettings& settings) {
    const std::size_t layers = settings.LayerDepths.size();
    const std::size_t fields = settings.FieldSides.size();
    std::vector<double> sum(layers * fields, 0.0), sumSquares(layers * fields, 0.0),
        history(layers * fields, 0.0), divergent(layers * fields, 0.0);
    const mc::Phantom phantom;
    mc::RandomStream random(settings.Seed + static_cast<std::uint64_t>(energyKeV * 2));

    for (std::uint64_t h = 0; h < settings.Histories; ++h) {
        std::fill(history.begin(), history.end(), 0.0);
        mc::Position p;
        mc::Direction d;
        double E = energyKeV;
        bool scattered = false;
        double firstDepth = 0.0;
        mc::Coefficients mu = tissue.At(E);
        auto score = [&](double energy) {
            if (!scattered)
                return;
            for (std::size_t l = 0; l < layers; ++l) {
                if (!(p.Z < settings.LayerDepths[l]))
                    continue;
                for (std::size_t f = 0; f < fields; ++f) {
                    const double half = 0.5 * settings.FieldSides[f];
                    if (std::fabs(p.X) <= half && std::fabs(p.Y) <= half)
                        history[l * fields + f] += energy;
                }
            }
        };
        while (true) {
            const double s = -std::log(random.UniformOpenAtZero()) / mu.Total();
            p.X += s * d.U;
            p.Y += s * d.V;
            p.Z += s * d.W;
            if (!phantom.Contains(p))
                break;
            if (!scattered)
                firstDepth = p.Z;
            const mc::InteractionKind kind = mc::SampleInteraction(mu, random);
            if (kind == mc::InteractionKind::Photoelectric) {
                score(E);
                break;
            }
            if (kind == mc::InteractionKind::Incoherent) {
                const mc::ScatteredPhoton out = mc::SampleIncoherent(E, tissue, random);
                score(E - out.Energy);
                scattered = true;
                E = out.Energy;
                if (E < mc::TissueModel::kMinEnergy) {
                    score(E);
                    break;
                }
                d = mc::Deflect(d, out.CosTheta, 2.0 * std::numbers::pi * random.Uniform());
                mu = tissue.At(E);
            } else {
                scattered = true;
                d = mc::Deflect(d, mc::SampleCoherentCosine(E, tissue, random),
                                2.0 * std::numbers::pi * random.Uniform());
            }
        }
        const double g = settings.Fsd * settings.Fsd /
                         ((settings.Fsd + firstDepth) * (settings.Fsd + firstDepth));
        for (std::size_t k = 0; k < history.size(); ++k) {
            divergent[k] += g * history[k];
            sum[k] += history[k];
            sumSquares[k] += history[k] * history[k];
        }
    }

    SurfaceScatter out;
    out.Energy = energyKeV;
    const double n = static_cast<double>(settings.Histories);
    out.Dose.assign(layers, std::vector<double>(fields));
    out.Sigma.assign(layers, std::vector<double>(fields));
    out.DivergentDose.assign(layers, std::vector<double>(fields));
    for (std::size_t l = 0; l < layers; ++l) {
        const double massPerArea = 1.00 * settings.LayerDepths[l]; // g/cm2, tissue 1.00 g/cm3
        for (std::size_t f = 0; f < fields; ++f) {
            const std::size_t k = l * fields + f;
            const double mean = sum[k] / n;
            const double variance = (sumSquares[k] / n - mean * mean) / (n - 1);
            out.Dose[l][f] = mean / massPerArea;
            out.DivergentDose[l][f] = divergent[k] / n / massPerArea;
            out.Sigma[l][f] = std::sqrt(std::max(variance, 0.0)) / massPerArea;
        }
    }
    return out;
}

} // namespace veltrim::validate
