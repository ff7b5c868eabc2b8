#include "tools/datagen/EnergyAbsorption.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace veltrim::datagen {
namespace {

// Electron rest energy, keV (CODATA 2018).
constexpr double ElectronRestEnergy = 510.99895;

// Composite Simpson intervals over the polar angle 0..pi. S(q) rises from 0
// over the first few degrees at 10 keV; 4096 intervals (0.044 degree) change
// the fractions by less than 4e-9 against 2048 intervals (0.5-150 keV).
constexpr int AngleIntervals = 4096;

// Log-log interpolation of y between (x0, y0) and (x1, y1) at x.
double LogLog(double x, double x0, double y0, double x1, double y1) {
    const double t = (std::log(x) - std::log(x0)) / (std::log(x1) - std::log(x0));
    return std::exp(std::log(y0) + t * (std::log(y1) - std::log(y0)));
}

// Energies at which a NIST row is compared with the computation. The upper
// row of an edge pair is taken a little above the edge, since xraylib places
// some edges slightly higher than NIST (argon K: 3.2060 against 3.2029 keV);
// the NIST value there is interpolated log-log towards the next row.
constexpr double EdgeOffsetKeV = 0.02;

} // namespace

double IncoherentEnergyTransferFraction(int Z, double E) {
    const double h = std::numbers::pi / AngleIntervals;
    double transferred = 0.0;
    double total = 0.0;
    // The end points carry sin(theta) = 0 and drop out.
    for (int k = 1; k < AngleIntervals; ++k) {
        const double theta = k * h;
        const double weight = (k % 2 == 1) ? 4.0 : 2.0;
        const double cross = xrl::DCS_ComptAnyAngle(Z, E, theta) * std::sin(theta);
        // Compton formula: E' / E = 1 / (1 + (E / m c^2)(1 - cos theta)).
        const double scatteredFraction =
            1.0 / (1.0 + (E / ElectronRestEnergy) * (1.0 - std::cos(theta)));
        transferred += weight * cross * (1.0 - scatteredFraction);
        total += weight * cross;
    }
    return transferred / total;
}

double ComputedMuEnOverRho(const xrl::Material& material, double E) {
    double sum = 0.0;
    for (const xrl::Constituent& c : material.Elements) {
        const double perElement = xrl::CS_Photo(c.Z, E) +
                                  xrl::CS_Compt(c.Z, E) * IncoherentEnergyTransferFraction(c.Z, E);
        sum += c.MassFraction * perElement;
    }
    return sum;
}

NistTiedMuEn::NistTiedMuEn(xrl::Material material, NistTable table)
    : material_(std::move(material)), table_(std::move(table)) {
    if (!table_.HasMuEn) {
        throw std::runtime_error("the NIST table of " + material_.Name + " has no mu_en/rho");
    }
    const std::vector<NistRow>& rows = table_.Rows;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const bool upperEdgeRow = k > 0 && rows[k].EnergyKeV == rows[k - 1].EnergyKeV;
        double energy = rows[k].EnergyKeV;
        double nist = rows[k].MuEnOverRho;
        if (upperEdgeRow) {
            if (k + 1 >= rows.size()) {
                throw std::runtime_error("NIST table ends on an edge row");
            }
            energy += EdgeOffsetKeV;
            nist = LogLog(energy, rows[k].EnergyKeV, rows[k].MuEnOverRho, rows[k + 1].EnergyKeV,
                          rows[k + 1].MuEnOverRho);
        }
        ratioEnergies_.push_back(energy);
        ratios_.push_back(nist / ComputedMuEnOverRho(material_, energy));
    }
}

double NistTiedMuEn::Ratio(double E) const {
    const std::vector<NistRow>& rows = table_.Rows;
    if (E <= rows.front().EnergyKeV) {
        return ratios_.front();
    }
    for (std::size_t k = 0; k + 1 < rows.size(); ++k) {
        if (rows[k + 1].EnergyKeV == rows[k].EnergyKeV) {
            continue; // the edge itself: no segment
        }
        if (E >= rows[k].EnergyKeV && E <= rows[k + 1].EnergyKeV) {
            const double lo = ratioEnergies_[k];
            const double hi = ratioEnergies_[k + 1];
            if (E <= lo) {
                return ratios_[k];
            }
            return LogLog(E, lo, ratios_[k], hi, ratios_[k + 1]);
        }
    }
    throw std::runtime_error("energy above the NIST table");
}

double NistTiedMuEn::operator()(double E) const {
    return ComputedMuEnOverRho(material_, E) * Ratio(E);
}

} // namespace veltrim::datagen
