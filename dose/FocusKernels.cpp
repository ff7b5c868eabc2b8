#include "dose/FocusKernels.h"

#include "core/CFormat.h"
#include "core/CalculationError.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace veltrim {

std::filesystem::path FocusSetFolder(double fsd) {
    return std::filesystem::path(FocusKernelFolder) / FormatC("%.0f", fsd);
}

std::vector<double> FocusSetFsds(const std::filesystem::path& dataFolder) {
    std::vector<double> fsds;
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(dataFolder / FocusKernelFolder, ignored)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(ignored) && !name.empty() && name.size() <= 6 && name[0] != '0' &&
            std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            fsds.push_back(std::stod(name));
    }
    if (fsds.empty())
        return {FocusKernelFsds.begin(), FocusKernelFsds.end()};
    std::sort(fsds.begin(), fsds.end());
    return fsds;
}

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

namespace {

// The mix of two sets held by the library.
class MixedSetSource final : public KernelSource {
  public:
    MixedSetSource(const KernelSet& near, const KernelSet& far, double nearWeight)
        : nearSource_(near), farSource_(far), mixed_(nearSource_, farSource_, nearWeight) {}
    const ScatterKernelTable& Kernel(int energyKeV) override { return mixed_.Kernel(energyKeV); }

  private:
    KernelSetSource nearSource_;
    KernelSetSource farSource_;
    InterpolatedKernelSource mixed_;
};

} // namespace

FocusKernelLibrary::FocusKernelLibrary(std::filesystem::path dataFolder, KernelSetReader read)
    : dataFolder_(std::move(dataFolder)), read_(std::move(read)) {
    if (!read_)
        read_ = [folder = dataFolder_](const std::filesystem::path& kernelFolder) {
            return ReadKernelSet(folder, kernelFolder);
        };
}

const KernelSet& FocusKernelLibrary::Set(double fsd) {
    auto& set = sets_[fsd];
    if (!set)
        set = read_(std::isinf(fsd) ? std::filesystem::path(KernelFolder) : FocusSetFolder(fsd));
    return *set;
}

std::unique_ptr<KernelSource> FocusKernelLibrary::SourceFor(double fsd) {
    if (fsds_.empty())
        fsds_ = FocusSetFsds(dataFolder_);
    const std::optional<FsdBracket> bracket = BracketFsd(fsds_, fsd);
    if (!bracket) {
        // As many digits as it takes to tell a value just below the
        // smallest set from the set's own FSD.
        FailCalculation(MessageId::CauseDivergentFsdBelowSets,
                        {Arg(FormatC("%.15g", fsd)), Arg(fsds_.front())});
    }
    const KernelSet& near = Set(bracket->NearFsd);
    if (bracket->NearWeight == 1.0) {
        return std::make_unique<KernelSetSource>(near);
    }
    return std::make_unique<MixedSetSource>(near, Set(bracket->FarFsd), bracket->NearWeight);
}

} // namespace veltrim
