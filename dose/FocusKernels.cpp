#include "dose/FocusKernels.h"

#include <cmath>
#include <limits>

namespace veltrim {

std::optional<FsdBracket> BracketFsd(std::span<const double> tabulated, double fsd) {
    if (tabulated.empty() || !(fsd >= tabulated.front())) {
        return std::nullopt;
    }
    std::size_t k = 0;
    while (k + 1 < tabulated.size() && fsd >= tabulated[k + 1]) {
        ++k;
    }
    FsdBracket bracket;
    bracket.NearFsd = tabulated[k];
    bracket.FarFsd =
        k + 1 < tabulated.size() ? tabulated[k + 1] : std::numeric_limits<double>::infinity();
    // 1/fsd = w / near + (1 - w) / far, with 1/far = 0 for the parallel set.
    const double far = std::isinf(bracket.FarFsd) ? 0.0 : 1.0 / bracket.FarFsd;
    bracket.NearWeight = (1.0 / fsd - far) / (1.0 / bracket.NearFsd - far);
    return bracket;
}

InterpolatedKernelSource::InterpolatedKernelSource(KernelSource& near, KernelSource& far,
                                                   double nearWeight)
    : near_(near), far_(far), nearWeight_(nearWeight),
      table_(std::make_unique<ScatterKernelTable>()) {}

const ScatterKernelTable& InterpolatedKernelSource::Kernel(int energyKeV) {
    const ScatterKernelTable& near = near_.Kernel(energyKeV);
    const ScatterKernelTable& far = far_.Kernel(energyKeV);
    const double farWeight = 1.0 - nearWeight_;
    for (std::size_t c = 0; c < RingCapacity; ++c) {
        for (std::size_t a = 0; a < DepthRowCapacity; ++a) {
            (*table_)[c][a] = nearWeight_ * near[c][a] + farWeight * far[c][a];
        }
    }
    return *table_;
}

} // namespace veltrim
