#include "tools/mc/TissueModel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace veltrim::mc {

TissueModel::TissueModel(const xrl::Material& material, int energyPoints, int qPoints)
    : material_(material) {
    if (energyPoints < 2 || qPoints < 2) {
        throw std::invalid_argument("TissueModel needs at least two grid points");
    }
    lnE0_ = std::log(kMinEnergy);
    lnStep_ = (std::log(kMaxEnergy) - lnE0_) / (energyPoints - 1);
    for (int k = 0; k < energyPoints; ++k) {
        const double E = std::exp(lnE0_ + k * lnStep_);
        // Mass coefficients (cm2/g) times density (g/cm3) give 1/cm.
        lnPhoto_.push_back(std::log(xrl::CS_Photo(material, E) * material.Density));
        lnIncoh_.push_back(std::log(xrl::CS_Compt(material, E) * material.Density));
        lnCoh_.push_back(std::log(xrl::CS_Rayl(material, E) * material.Density));
    }

    double electronsPerGram = 0.0; // up to Avogadro's number: sum of w Z / A
    for (const xrl::Constituent& c : material.Elements) {
        electronsPerGram += c.MassFraction / xrl::AtomicWeight(c.Z) * c.Z;
    }
    qStep_ = kMaxQ / (qPoints - 1);
    double integral = 0.0;
    for (int k = 0; k < qPoints; ++k) {
        const double q = k * qStep_;
        double s = 0.0;
        double f2 = 0.0;
        for (const xrl::Constituent& c : material.Elements) {
            const double share = c.MassFraction / xrl::AtomicWeight(c.Z);
            // S(0) = 0 and F(0) = Z; xraylib refuses q = 0 for S.
            s += share * (q > 0.0 ? xrl::SF_Compt(c.Z, q) : 0.0);
            const double f = q > 0.0 ? xrl::FF_Rayl(c.Z, q) : static_cast<double>(c.Z);
            f2 += share * f * f;
        }
        incoherentAcceptance_.push_back(s / electronsPerGram);
        const double q2 = q * q;
        if (k > 0) {
            integral += 0.5 * (f2_.back() + f2) * (q2 - q2_.back());
        }
        q2_.push_back(q2);
        f2_.push_back(f2);
        f2Integral_.push_back(integral);
    }
    // Tabulated S(q) may overshoot Z by rounding; the acceptance must stay a probability.
    const double largest =
        *std::max_element(incoherentAcceptance_.begin(), incoherentAcceptance_.end());
    if (largest > 1.0) {
        for (double& a : incoherentAcceptance_) {
            a /= largest;
        }
    }
}

Coefficients TissueModel::At(double E) const {
    const double t = (std::log(E) - lnE0_) / lnStep_;
    const auto last = static_cast<double>(lnPhoto_.size() - 2);
    const double clamped = std::clamp(t, 0.0, last);
    const auto k = static_cast<std::size_t>(clamped);
    const double f = t - static_cast<double>(k);
    const auto interpolate = [&](const std::vector<double>& table) {
        return std::exp(table[k] + f * (table[k + 1] - table[k]));
    };
    return Coefficients{interpolate(lnPhoto_), interpolate(lnIncoh_), interpolate(lnCoh_)};
}

double TissueModel::IncoherentAcceptance(double q) const {
    const double t = q / qStep_;
    const auto last = incoherentAcceptance_.size() - 1;
    if (t >= static_cast<double>(last)) {
        return incoherentAcceptance_[last];
    }
    const auto k = static_cast<std::size_t>(t);
    const double f = t - static_cast<double>(k);
    return incoherentAcceptance_[k] + f * (incoherentAcceptance_[k + 1] - incoherentAcceptance_[k]);
}

double TissueModel::FormFactorSquared(double q) const {
    const double t = std::min(q / qStep_, static_cast<double>(f2_.size() - 1));
    const auto k = std::min(static_cast<std::size_t>(t), f2_.size() - 2);
    const double f = t - static_cast<double>(k);
    return f2_[k] + f * (f2_[k + 1] - f2_[k]);
}

// F^2 is taken as linear in q^2 within a grid interval, so the running
// integral is quadratic there; this is the integral up to q2 under that rule.
double TissueModel::FormFactorIntegral(double q2) const {
    const auto upper = std::upper_bound(q2_.begin(), q2_.end(), q2);
    if (upper == q2_.end()) {
        return f2Integral_.back();
    }
    const auto k = static_cast<std::size_t>(upper - q2_.begin()) - 1;
    const double d = q2 - q2_[k];
    const double slope = (f2_[k + 1] - f2_[k]) / (q2_[k + 1] - q2_[k]);
    return f2Integral_[k] + f2_[k] * d + 0.5 * slope * d * d;
}

double TissueModel::InverseFormFactorIntegral(double q2Max, double share) const {
    const double target = share * FormFactorIntegral(q2Max);
    // First grid point whose running integral exceeds the target.
    const auto upper = std::upper_bound(f2Integral_.begin(), f2Integral_.end(), target);
    if (upper == f2Integral_.end()) {
        return std::min(q2_.back(), q2Max);
    }
    const auto k = static_cast<std::size_t>(upper - f2Integral_.begin()) - 1;
    const double rest = target - f2Integral_[k];
    const double slope = (f2_[k + 1] - f2_[k]) / (q2_[k + 1] - q2_[k]);
    // Root of f2_k d + slope d^2 / 2 = rest, written without cancellation.
    const double root = std::sqrt(std::max(0.0, f2_[k] * f2_[k] + 2.0 * slope * rest));
    const double d = 2.0 * rest / (f2_[k] + root);
    return std::min(q2_[k] + d, q2Max);
}

} // namespace veltrim::mc
