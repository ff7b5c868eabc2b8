#include "tools/mc/KermaFactors.h"

#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"

#include <algorithm>
#include <cmath>

namespace veltrim::mc {

KermaFactors::KermaFactors(const PrimaryDoseNodeTable& tissueNodes,
                           const EnergyTable& airMuEnOverRho)
    : tissueNodes_(tissueNodes), airMuEnOverRho_(airMuEnOverRho) {}

KermaFactors KermaFactors::Read(const std::filesystem::path& dataFolder, Medium medium) {
    return KermaFactors(ReadPrimaryDoseFile(dataFolder / MediumFolder(medium) / PrimaryDoseFile),
                        ReadAttenuationFile(dataFolder / AirKermaFile));
}

// The program's rule between the nodes 5k and 5k + 5 keV, written as it
// writes it, so that on the 0.5-keV bins the two agree to the bit.
double KermaFactors::Tissue(double E) const {
    if (E >= 5.0 * 30) {
        return tissueNodes_[30];
    }
    const int k = std::clamp(static_cast<int>(std::floor(E / 5)), 2, 29);
    const double upper = 5.0 * k + 5;
    const double A = tissueNodes_[static_cast<std::size_t>(k)];
    const double B = tissueNodes_[static_cast<std::size_t>(k + 1)];
    return std::exp(std::log(B) - (std::log(B) - std::log(A)) * (upper - E) / 5);
}

double KermaFactors::Air(double E) const {
    const int i = std::clamp(static_cast<int>(std::floor(2.0 * E)), 1, 299);
    const double low = 0.5 * i;
    const double high = low + 0.5;
    const double a = airMuEnOverRho_[static_cast<std::size_t>(i)];
    const double b = airMuEnOverRho_[static_cast<std::size_t>(i + 1)];
    if (E == low) {
        return E * a;
    }
    const double t = std::log(E / low) / std::log(high / low);
    return E * std::exp(std::log(a) + t * (std::log(b) - std::log(a)));
}

} // namespace veltrim::mc
