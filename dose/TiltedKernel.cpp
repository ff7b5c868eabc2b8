#include "dose/TiltedKernel.h"

#include "core/Grids.h"
#include "dose/OffAxisCoverage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace veltrim {

TiltedKernel::TiltedKernel(double fsd) : fsd_(fsd), layers_(DepthRowCapacity) {}

void TiltedKernel::Take(const ScatterKernelTable& classic, const ScatterKernelTable& focus) {
    classic_.Take(classic);
    focus_.Take(focus);
    for (Layer& layer : layers_)
        layer.Ready = 0;
}

double TiltedKernel::RingSum(int d, int rings, double g, std::span<const double> share,
                             std::span<const double> tilt) {
    const Layer& layer = Prepared(d, rings);
    double sum = 0.0;
    for (int r = 1; r <= rings; ++r) {
        const auto at = static_cast<std::size_t>(r);
        if (!(share[at] > 0))
            continue;
        const double flat = classic_.At(r, d);
        const double full = layer.Full[r];
        double kernel = full;
        if (tilt[at] != 1.0)
            kernel = flat > 0 && full > 0 ? flat * std::exp(tilt[at] * layer.Step[r])
                                          : std::max(flat + tilt[at] * (full - flat), 0.0);
        sum = sum + kernel * g * share[at];
    }
    return sum;
}

const TiltedKernel::Layer& TiltedKernel::Prepared(int d, int rings) {
    Layer& layer = layers_[static_cast<std::size_t>(d)];
    if (layer.Ready >= rings)
        return layer;
    // The kernels' fall-off, taken at the ring's middle radius in the plane of
    // the layer's middle, as the point's share takes it.
    const double focus = fsd_ + LayerMiddle(d);
    for (int r = layer.Ready + 1; r <= rings; ++r) {
        const double middle = (0.5 * r - 0.25) / focus;
        const double flat = classic_.At(r, d);
        layer.Full[r] = focus_.At(r, d) / FocusFalloff(middle * middle);
        layer.Step[r] = flat > 0 && layer.Full[r] > 0 ? std::log(layer.Full[r] / flat) : 0.0;
    }
    layer.Ready = std::max(layer.Ready, rings);
    return layer;
}

} // namespace veltrim
