#include "tools/validate/SurfaceScatter.h"

#include "tools/mc/Phantom.h"
#include "tools/mc/Random.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/TissueModel.h"
#include "tools/mc/Transport.h"

#include <algorithm>
#include <cmath>

namespace veltrim::validate {
namespace {

// The scatter that one history deposits in each layer within each field
// square on the axis, and the depth of its first interaction.
class LayerScorer final : public mc::Scorer {
  public:
    explicit LayerScorer(const SurfaceTallySettings& settings)
        : settings_(settings), fields_(settings.FieldSides.size()),
          history_(settings.LayerDepths.size() * fields_, 0.0) {}

    void StartHistory() {
        std::fill(history_.begin(), history_.end(), 0.0);
        firstDepth_ = 0.0;
    }

    void Collision(const mc::CollisionSite& site) override {
        if (!site.Scattered)
            firstDepth_ = site.P.Z;
    }

    void Deposit(const mc::Position& p, double energy, bool scattered,
                 std::uint64_t /*history*/) override {
        if (!scattered)
            return;
        for (std::size_t l = 0; l < settings_.LayerDepths.size(); ++l) {
            if (!(p.Z < settings_.LayerDepths[l]))
                continue;
            for (std::size_t f = 0; f < fields_; ++f) {
                const double half = 0.5 * settings_.FieldSides[f];
                if (std::fabs(p.X) <= half && std::fabs(p.Y) <= half)
                    history_[l * fields_ + f] += energy;
            }
        }
    }

    void Escape(double /*energy*/, std::uint64_t /*history*/) override {}

    // [layer * fields + field]
    const std::vector<double>& History() const { return history_; }
    double FirstDepth() const { return firstDepth_; }

  private:
    const SurfaceTallySettings& settings_;
    std::size_t fields_;
    std::vector<double> history_;
    double firstDepth_ = 0.0;
};

} // namespace

SurfaceScatter RunSurfaceScatter(double energyKeV, const mc::TissueModel& tissue,
                                 const SurfaceTallySettings& settings) {
    const std::size_t layers = settings.LayerDepths.size();
    const std::size_t fields = settings.FieldSides.size();
    std::vector<double> sum(layers * fields, 0.0), sumSquares(layers * fields, 0.0),
        divergent(layers * fields, 0.0);
    const mc::Phantom phantom;
    const mc::PencilBeam beam{energyKeV};
    const mc::DepthImportance analog; // no splitting
    mc::RandomStream random(settings.Seed + static_cast<std::uint64_t>(energyKeV * 2));
    LayerScorer scorer(settings);

    for (std::uint64_t h = 0; h < settings.Histories; ++h) {
        scorer.StartHistory();
        mc::TransportHistory(beam, phantom, tissue, analog, random, scorer, h);
        const std::vector<double>& history = scorer.History();
        const double z1 = scorer.FirstDepth();
        const double g = settings.Fsd * settings.Fsd / ((settings.Fsd + z1) * (settings.Fsd + z1));
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
