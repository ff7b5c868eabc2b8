#include "dose/SlabKernels.h"

#include <cmath>

namespace veltrim {

std::optional<Message> ThicknessProblem(double thicknessCm) {
    // The tables are made of 0.5-cm layers, so the exit face must lie on a
    // layer boundary.
    if (thicknessCm >= MinPhantomThickness && thicknessCm <= MaxPhantomThickness &&
        2 * thicknessCm == std::floor(2 * thicknessCm))
        return std::nullopt;
    return Message(MessageId::ThicknessOutOfRange,
                   {Arg(thicknessCm), Arg(MinPhantomThickness), Arg(MaxPhantomThickness)});
}

SlabKernelSource::SlabKernelSource(KernelSource& thick, const KernelSet& exitRatio,
                                   double thicknessCm)
    : thick_(thick), exitRatio_(exitRatio),
      slabRows_(static_cast<int>(std::lround(2 * thicknessCm))) {}

const ScatterKernelTable& SlabKernelSource::Kernel(int energyKeV) {
    table_ = thick_.Kernel(energyKeV);
    const ScatterKernelTable& ratio = exitRatio_.Kernel(energyKeV);
    for (int a = 1; a < DepthRowCapacity; ++a) {
        const int fromExit = slabRows_ - a + 1;
        if (fromExit >= DepthRowCapacity)
            continue;
        for (int c = 1; c < RingCapacity; ++c)
            table_[c][a] = fromExit >= 1 ? table_[c][a] * ratio[c][fromExit] : 0.0;
    }
    return table_;
}

} // namespace veltrim
