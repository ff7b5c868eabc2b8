#include "dose/SlabKernels.h"

#include "core/CFormat.h"

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

ExitRatioSets ReadExitRatioSets(const std::filesystem::path& dataFolder) {
    return ReadExitRatioSets([&](const std::filesystem::path& kernelFolder) {
        return ReadKernelSet(dataFolder, kernelFolder);
    });
}

ExitRatioSets ReadExitRatioSets(const KernelSetReader& read) {
    ExitRatioSets sets;
    for (std::size_t k = 0; k < ExitRatioSlabs.size(); ++k)
        sets[k] = read(std::filesystem::path(ExitRatioFolder) / FormatC("%.0f", ExitRatioSlabs[k]));
    return sets;
}

SlabKernelSource::SlabKernelSource(KernelSource& thick, const ExitRatioSets& ratios,
                                   double thicknessCm)
    : thick_(thick), thinner_(ratios.back().get()), thicker_(ratios.back().get()),
      thinnerWeight_(1.0), slabRows_(static_cast<int>(std::lround(2 * thicknessCm))) {
    for (std::size_t k = 0; k + 1 < ExitRatioSlabs.size(); ++k) {
        const double thin = ExitRatioSlabs[k], thicker = ExitRatioSlabs[k + 1];
        if (thicknessCm >= thin && thicknessCm < thicker) {
            thinner_ = ratios[k].get();
            thicker_ = ratios[k + 1].get();
            // Linear in 1/T; a computed slab takes its own set (weight 1).
            thinnerWeight_ = (1 / thicknessCm - 1 / thicker) / (1 / thin - 1 / thicker);
            thinnerRows_ = static_cast<int>(2 * thin);
        }
    }
}

const ScatterKernelTable& SlabKernelSource::Kernel(int energyKeV) {
    table_ = thick_.Kernel(energyKeV);
    const ScatterKernelTable& thin = thinner_->Kernel(energyKeV);
    const ScatterKernelTable& thick = thicker_->Kernel(energyKeV);
    const double w = thinnerWeight_;
    for (int a = 1; a < DepthRowCapacity; ++a) {
        const int j = slabRows_ - a + 1; // the row's place from the exit face
        if (j >= DepthRowCapacity)
            continue;
        for (int c = 1; c < RingCapacity; ++c) {
            // Below the exit face there is no tissue to take a dose.
            if (j < 1) {
                table_[c][a] = 0.0;
                continue;
            }
            // Further from the exit than the thinner slab reaches, its set
            // holds no ratio (its 1 means "no such row"): the thicker's alone.
            const double ratio = w == 1.0           ? thin[c][j]
                                 : j > thinnerRows_ ? thick[c][j]
                                                    : w * thin[c][j] + (1 - w) * thick[c][j];
            table_[c][a] = table_[c][a] * ratio;
        }
    }
    return table_;
}

} // namespace veltrim
