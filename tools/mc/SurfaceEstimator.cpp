#include "tools/mc/SurfaceEstimator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltrim::mc {
namespace {

// Below this depth (cm) a collision counts as lying at it: the logarithm of
// the near draw would otherwise divide by zero at a collision on the face.
constexpr double kMinDepth = 1e-12;

} // namespace

SurfaceEstimator::SurfaceEstimator(const AxisEstimator& axis, const KermaFactors& kerma,
                                   double radius)
    : axis_(axis), kerma_(kerma), radius_(radius) {}

SurfaceEstimator::Kerma SurfaceEstimator::Estimate(const CollisionSite& site,
                                                   RandomStream& random) const {
    const double x = site.P.X;
    const double y = site.P.Y;
    const double z = std::max(site.P.Z, kMinDepth);
    const double foot = std::sqrt(x * x + y * y);
    const double R = radius_;
    const double u = random.Uniform();
    const double phi = 2.0 * std::numbers::pi * random.Uniform();
    double px = 0.0, py = 0.0, d2 = 0.0;
    // The disc average of 1/d^2 over the density of the drawn point, 1/cm2.
    double spread = 0.0;
    if (foot <= 2.0 * R) {
        const double S = foot + R;
        const double log = std::log1p(S * S / (z * z));
        const double s = z * std::sqrt(std::expm1(u * log));
        px = x + s * std::cos(phi);
        py = y + s * std::sin(phi);
        if (px * px + py * py > R * R) {
            return {};
        }
        d2 = s * s + z * z;
        spread = log / (R * R);
    } else {
        const double r = R * std::sqrt(u);
        px = r * std::cos(phi);
        py = r * std::sin(phi);
        d2 = (px - x) * (px - x) + (py - y) * (py - y) + z * z;
        spread = 1.0 / d2;
    }
    const double d = std::sqrt(d2);
    // Towards the point: (px - x, py - y, -z) / d.
    const double cosTheta =
        std::clamp((site.D.U * (px - x) + site.D.V * (py - y) - site.D.W * z) / d, -1.0, 1.0);
    const AxisEstimator::Towards t = axis_.ScatterTowards(axis_.EmissionAt(site), cosTheta);
    const double E = site.Energy;
    const double coherent = t.Coherent * std::exp(-site.Mu.Total() * d);
    double incoherent = 0.0;
    if (t.Incoherent != 0.0) {
        incoherent = t.Incoherent * std::exp(-axis_.Attenuation(t.ScatteredEnergy) * d);
    }
    const double perFluence = site.Weight * spread;
    return {perFluence *
                (coherent * kerma_.Tissue(E) + incoherent * kerma_.Tissue(t.ScatteredEnergy)),
            perFluence * (coherent * kerma_.Air(E) + incoherent * kerma_.Air(t.ScatteredEnergy))};
}

} // namespace veltrim::mc
