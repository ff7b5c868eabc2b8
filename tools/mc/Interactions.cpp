#include "tools/mc/Interactions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltrim::mc {

InteractionKind SampleInteraction(const Coefficients& mu, RandomStream& random) {
    const double r = random.Uniform() * mu.Total();
    if (r < mu.Photoelectric) {
        return InteractionKind::Photoelectric;
    }
    if (r < mu.Photoelectric + mu.Incoherent) {
        return InteractionKind::Incoherent;
    }
    return InteractionKind::Coherent;
}

double SampleKleinNishinaRatio(double alpha, RandomStream& random) {
    const double beta = 1.0 + 2.0 * alpha;
    // Share of the first branch, x uniform on [1, beta] with weight 4(x-1)/x^2.
    const double branch = beta / (beta + 8.0);
    while (true) {
        if (random.Uniform() < branch) {
            const double x = 1.0 + 2.0 * alpha * random.Uniform();
            if (random.Uniform() < 4.0 * (1.0 / x - 1.0 / (x * x))) {
                return x;
            }
        } else {
            const double x = beta / (1.0 + 2.0 * alpha * random.Uniform());
            const double cosTheta = 1.0 + (1.0 - x) / alpha;
            if (random.Uniform() < 0.5 * (cosTheta * cosTheta + 1.0 / x)) {
                return x;
            }
        }
    }
}

ScatteredPhoton SampleIncoherent(double E, const TissueModel& tissue, RandomStream& random) {
    const double alpha = E / kElectronRestEnergy;
    while (true) {
        const double x = SampleKleinNishinaRatio(alpha, random);
        const double cosTheta = std::clamp(1.0 + (1.0 - x) / alpha, -1.0, 1.0);
        // sin(theta/2) = sqrt((1 - cos theta) / 2)
        const double q = E / kHcKeVAngstrom * std::sqrt(0.5 * (1.0 - cosTheta));
        if (random.Uniform() < tissue.IncoherentAcceptance(q)) {
            return ScatteredPhoton{cosTheta, E / x};
        }
    }
}

double SampleCoherentCosine(double E, const TissueModel& tissue, RandomStream& random) {
    const double qMax = E / kHcKeVAngstrom;
    const double q2Max = qMax * qMax;
    while (true) {
        const double q2 = tissue.InverseFormFactorIntegral(q2Max, random.Uniform());
        // q^2 = q2Max (1 - cos theta) / 2
        const double cosTheta = std::clamp(1.0 - 2.0 * q2 / q2Max, -1.0, 1.0);
        if (random.Uniform() < 0.5 * (1.0 + cosTheta * cosTheta)) {
            return cosTheta;
        }
    }
}

Direction Deflect(const Direction& d, double cosTheta, double phi) {
    const double sinTheta = std::sqrt(std::max(0.0, 1.0 - cosTheta * cosTheta));
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double a = std::sqrt(std::max(0.0, 1.0 - d.W * d.W));
    if (a < 1e-10) {
        // Along the z axis the frame of the deflection is arbitrary.
        const double sign = d.W < 0.0 ? -1.0 : 1.0;
        return Direction{sinTheta * cosPhi, sinTheta * sinPhi, sign * cosTheta};
    }
    Direction out{cosTheta * d.U + sinTheta * (d.U * d.W * cosPhi - d.V * sinPhi) / a,
                  cosTheta * d.V + sinTheta * (d.V * d.W * cosPhi + d.U * sinPhi) / a,
                  cosTheta * d.W - a * sinTheta * cosPhi};
    // Keep the direction a unit vector over hundreds of deflections.
    const double norm = std::sqrt(out.U * out.U + out.V * out.V + out.W * out.W);
    out.U /= norm;
    out.V /= norm;
    out.W /= norm;
    return out;
}

} // namespace veltrim::mc
