#include "tools/mc/FocusSource.h"

#include <algorithm>
#include <numbers>
#include <stdexcept>

namespace veltrim::mc {

SourcePhoton Focus::Entering(double x, double y, double energy) const {
    SourcePhoton photon{Position{x, y, 0.0}, Direction{}, energy};
    if (!Parallel()) {
        const double d = std::sqrt(x * x + y * y + Fsd * Fsd);
        photon.D = Direction{x / d, y / d, Fsd / d};
    }
    return photon;
}

double Focus::FaceDensity(double x, double y) const {
    if (Parallel()) {
        return 1.0;
    }
    const double cosine = Fsd / std::sqrt(x * x + y * y + Fsd * Fsd);
    return cosine * cosine * cosine;
}

RingSource::RingSource(Focus focus, double energy, double maxEntryRadius, double entryScale)
    : focus_(focus), energy_(energy), maxEntryRadius_(maxEntryRadius), entryScale_(entryScale) {
    if (!(focus.Fsd > 0.0) || !(maxEntryRadius > 0.0) || !(entryScale >= 0.0)) {
        throw std::invalid_argument(
            "RingSource: the FSD and the radius must be positive, the entry scale not negative");
    }
    if (entryScale_ > 0.0) {
        truncation_ = -std::expm1(-maxEntryRadius_ / entryScale_);
    }
}

// Density of the draw on the face: p(r) / (2 pi r), with p(r) = 1 / R
// (uniform) or exp(-r / lambda) / (lambda (1 - exp(-R / lambda))), the
// azimuth uniform; hence the weight 2 pi r / p(r) x (f / d)^3.
FocusPhoton RingSource::Sample(RandomStream& random) const {
    double r = 0.0;
    double density = 0.0;
    if (entryScale_ > 0.0) {
        r = -entryScale_ * std::log1p(-random.Uniform() * truncation_);
        density = std::exp(-r / entryScale_) / (entryScale_ * truncation_);
    } else {
        r = maxEntryRadius_ * random.Uniform();
        density = 1.0 / maxEntryRadius_;
    }
    const double phi = 2.0 * std::numbers::pi * random.Uniform();
    const double x = r * std::cos(phi);
    const double y = r * std::sin(phi);
    const double weight = 2.0 * std::numbers::pi * r / density * focus_.FaceDensity(x, y);
    return FocusPhoton{focus_.Entering(x, y, energy_), weight, r};
}

FieldSource::FieldSource(Focus focus, const EnergyTable& spectrum, int firstBin, int lastBin,
                         double halfX, double halfY, bool circle)
    : focus_(focus), firstBin_(firstBin), halfX_(halfX), halfY_(halfY), circle_(circle) {
    if (firstBin < 1 || lastBin >= static_cast<int>(spectrum.size()) || lastBin < firstBin) {
        throw std::invalid_argument("FieldSource: bad range of spectrum bins");
    }
    double weighted = 0.0;
    for (int i = firstBin; i <= lastBin; ++i) {
        total_ += spectrum[static_cast<std::size_t>(i)];
        weighted += spectrum[static_cast<std::size_t>(i)] * 0.5 * i;
        cumulative_.push_back(total_);
    }
    if (!(total_ > 0.0) || !(halfX > 0.0) || (!circle && !(halfY > 0.0))) {
        throw std::invalid_argument("FieldSource: empty spectrum or field");
    }
    for (double& c : cumulative_) {
        c /= total_;
    }
    meanEnergy_ = weighted / total_;
}

FocusPhoton FieldSource::Sample(RandomStream& random) const {
    const double u = random.Uniform();
    const auto bin = static_cast<int>(
        std::upper_bound(cumulative_.begin(), cumulative_.end() - 1, u) - cumulative_.begin());
    const double energy = 0.5 * (firstBin_ + bin);
    double x = 0.0, y = 0.0, area = 0.0;
    if (circle_) {
        const double r = halfX_ * std::sqrt(random.Uniform());
        const double phi = 2.0 * std::numbers::pi * random.Uniform();
        x = r * std::cos(phi);
        y = r * std::sin(phi);
        area = std::numbers::pi * halfX_ * halfX_;
    } else {
        x = halfX_ * (2.0 * random.Uniform() - 1.0);
        y = halfY_ * (2.0 * random.Uniform() - 1.0);
        area = 4.0 * halfX_ * halfY_;
    }
    const double weight = area * focus_.FaceDensity(x, y) * total_;
    return FocusPhoton{focus_.Entering(x, y, energy), weight, std::sqrt(x * x + y * y)};
}

} // namespace veltrim::mc
