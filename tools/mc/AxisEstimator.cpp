#include "tools/mc/AxisEstimator.h"

#include "tools/mc/Interactions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltrim::mc {
namespace {

constexpr double kFineStep = 0.005;   // keV: mu(E') and the dose factor at scattered energies
constexpr double kCoarseStep = 0.25;  // keV: the normalisations, needed at collision energies
constexpr int kAngleIntervals = 4000; // Simpson intervals in q over [0, E/hc]
// A collision closer to the axis than this (cm) is scored as if it lay at
// this distance; it is a set of measure zero that would otherwise divide by 0.
constexpr double kMinAxisDistance = 1e-9;

// Klein-Nishina without its constant r_e^2 / 2: ratio^2 (ratio + 1/ratio - sin^2).
double KleinNishina(double ratio, double cosTheta) {
    return ratio * ratio * (ratio + 1.0 / ratio - (1.0 - cosTheta * cosTheta));
}

struct AngularIntegrals {
    double Incoherent = 0.0;      // sr
    double Coherent = 0.0;        // sr
    double MeanTransferred = 0.0; // keV given to the Compton electron, on average
};

// Integrals over the sphere, taken in q = E/hc sin(theta/2), the variable in
// which S(q) and F(q) vary: cos theta = 1 - 2 (q/qMax)^2, d(cos) = 4 q/qMax^2 dq.
AngularIntegrals Integrate(const TissueModel& tissue, double E) {
    const double qMax = E / kHcKeVAngstrom;
    const double alpha = E / kElectronRestEnergy;
    const double h = qMax / kAngleIntervals;
    AngularIntegrals sum;
    double transferred = 0.0;
    for (int k = 0; k <= kAngleIntervals; ++k) {
        const double q = k * h;
        const double s = q / qMax;
        const double cosTheta = 1.0 - 2.0 * s * s;
        const double jacobian = 4.0 * q / (qMax * qMax);
        const double simpson = (k == 0 || k == kAngleIntervals) ? 1.0 : (k % 2 == 1 ? 4.0 : 2.0);
        const double ratio = 1.0 / (1.0 + alpha * (1.0 - cosTheta));
        const double incoherent =
            KleinNishina(ratio, cosTheta) * tissue.IncoherentAcceptance(q) * jacobian * simpson;
        sum.Incoherent += incoherent;
        transferred += incoherent * E * (1.0 - ratio);
        sum.Coherent +=
            0.5 * (1.0 + cosTheta * cosTheta) * tissue.FormFactorSquared(q) * jacobian * simpson;
    }
    const double scale = 2.0 * std::numbers::pi * h / 3.0;
    sum.Incoherent *= scale;
    sum.Coherent *= scale;
    sum.MeanTransferred = transferred * scale / sum.Incoherent;
    return sum;
}

double Interpolate(const std::vector<double>& table, double E, double step) {
    const double t = (E - TissueModel::kMinEnergy) / step;
    const double last = static_cast<double>(table.size() - 2);
    const double clamped = std::clamp(t, 0.0, last);
    const auto k = static_cast<std::size_t>(clamped);
    const double f = clamped - static_cast<double>(k);
    return table[k] + f * (table[k + 1] - table[k]);
}

} // namespace

AxisEstimator::AxisEstimator(const TissueModel& tissue, int rows) : tissue_(tissue), rows_(rows) {
    const double span = TissueModel::kMaxEnergy - TissueModel::kMinEnergy;
    const auto coarse = static_cast<int>(std::lround(span / kCoarseStep));
    std::vector<double> transferredShare;
    for (int k = 0; k <= coarse; ++k) {
        const double E = TissueModel::kMinEnergy + k * kCoarseStep;
        const AngularIntegrals a = Integrate(tissue, E);
        incoherentNorm_.push_back(a.Incoherent);
        coherentNorm_.push_back(a.Coherent);
        transferredShare.push_back(a.MeanTransferred / E);
    }
    const double density = tissue.Material().Density;
    const auto fine = static_cast<int>(std::lround(span / kFineStep));
    for (int k = 0; k <= fine; ++k) {
        const double E = TissueModel::kMinEnergy + k * kFineStep;
        const Coefficients mu = tissue.At(E);
        attenuation_.push_back(mu.Total());
        const double transferred = E * Interpolate(transferredShare, E, kCoarseStep);
        doseFactor_.push_back((mu.Photoelectric * E + mu.Incoherent * transferred) / density);
    }
}

double AxisEstimator::Fine(const std::vector<double>& table, double E) const {
    return Interpolate(table, E, kFineStep);
}

double AxisEstimator::Coarse(const std::vector<double>& table, double E) const {
    return Interpolate(table, E, kCoarseStep);
}

AxisEstimator::Emission AxisEstimator::EmissionAt(const CollisionSite& site) const {
    const double total = site.Mu.Total();
    return Emission{site.Energy, site.Mu.Coherent / total / CoherentNorm(site.Energy),
                    site.Mu.Incoherent / total / IncoherentNorm(site.Energy)};
}

AxisEstimator::Towards AxisEstimator::ScatterTowards(const Emission& emission,
                                                     double cosTheta) const {
    const double E = emission.Energy;
    const double q = E / kHcKeVAngstrom * std::sqrt(0.5 * (1.0 - cosTheta));
    const double ratio = 1.0 / (1.0 + E / kElectronRestEnergy * (1.0 - cosTheta));
    Towards out;
    out.Coherent =
        emission.CoherentShare * 0.5 * (1.0 + cosTheta * cosTheta) * tissue_.FormFactorSquared(q);
    out.ScatteredEnergy = E * ratio;
    if (out.ScatteredEnergy >= TissueModel::kMinEnergy) {
        out.Incoherent = emission.IncoherentShare * KleinNishina(ratio, cosTheta) *
                         tissue_.IncoherentAcceptance(q);
    }
    return out;
}

void AxisEstimator::EstimateRows(const CollisionSite& site, RandomStream& random, double* dose,
                                 double top, double thickness, int rows) const {
    const double x = site.P.X;
    const double y = site.P.Y;
    const double z = site.P.Z;
    const double rho = std::max(std::sqrt(x * x + y * y), kMinAxisDistance);
    // The direction's component towards the axis, in the plane of the collision.
    const double inward = -(site.D.U * x + site.D.V * y) / rho;
    const double total = site.Mu.Total();
    const Emission emission = EmissionAt(site);
    const double coherentDose = DoseFactor(site.Energy);
    const double scale = site.Weight / (rho * thickness);

    double lower = std::atan((top - z) / rho);
    for (int a = 0; a < rows; ++a) {
        const double upper = std::atan((top + (a + 1) * thickness - z) / rho);
        const double span = upper - lower;
        const double angle = lower + random.Uniform() * span;
        lower = upper;
        // The axis point seen at `angle` from the perpendicular: distance
        // rho / cos, direction (-x/rho cos, -y/rho cos, sin).
        const double c = std::cos(angle);
        const double distance = rho / c;
        const double cosTheta = std::clamp(inward * c + site.D.W * std::sin(angle), -1.0, 1.0);
        const Towards t = ScatterTowards(emission, cosTheta);
        const double coherent = t.Coherent * std::exp(-total * distance) * coherentDose;
        double incoherent = 0.0;
        if (t.Incoherent != 0.0) {
            incoherent = t.Incoherent * std::exp(-Attenuation(t.ScatteredEnergy) * distance) *
                         DoseFactor(t.ScatteredEnergy);
        }
        dose[a] += scale * span * (coherent + incoherent);
    }
}

} // namespace veltrim::mc
