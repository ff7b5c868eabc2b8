#include "dose/TiltedKernel.h"

#include "core/Grids.h"
#include "dose/OffAxisCoverage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace veltrim {

TiltedKernel::TiltedKernel(double fsd) : fsd_(fsd), layers_(DepthRowCapacity) {}

void TiltedKernel::Take(const ScatterKernelTable& classic, const ScatterKernelTable& focus) {
    classic_ = &classic;
    focus_ = &focus;
    for (Layer& layer : layers_)
        layer.Ready = false;
}

double TiltedKernel::RingSum(int d, int rings, double g,
                             const std::array<double, RingCapacity>& share,
                             const std::array<double, RingCapacity>& tilt) {
    const Layer& layer = Prepared(d);
    double sum = 0.0;
    for (int r = 1; r <= rings; ++r) {
        if (!(share[r] > 0))
            continue;
        const double flat = (*classic_)[r][d];
        const double full = layer.Full[r];
        double kernel = full;
        if (tilt[r] != 1.0)
            kernel = flat > 0 && full > 0 ? flat * std::exp(tilt[r] * layer.Step[r])
                                          : std::max(flat + tilt[r] * (full - flat), 0.0);
        sum = sum + kernel * g * share[r];
    }
    return sum;
}

const TiltedKernel::Layer& TiltedKernel::Prepared(int d) {
    Layer& layer = layers_[static_cast<std::size_t>(d)];
    if (layer.Ready)
        return layer;
    // The kernels' fall-off, taken at the ring's middle radius in the plane of
    // the layer's middle, as the point's share takes it.
    const double focus = fsd_ + LayerMiddle(d);
    for (int r = 1; r < RingCapacity; ++r) {
        const double middle = (0.5 * r - 0.25) / focus;
        const double flat = (*classic_)[r][d];
        layer.Full[r] = (*focus_)[r][d] / FocusFalloff(middle * middle);
        layer.Step[r] = flat > 0 && layer.Full[r] > 0 ? std::log(layer.Full[r] / flat) : 0.0;
    }
    layer.Ready = true;
    return layer;
}

} // namespace veltrim
