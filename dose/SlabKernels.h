#pragma once

// A phantom of finite thickness: near its exit face the scatter that the
// tissue behind would have sent back is missing. The exit-ratio sets hold,
// per node energy and ring, the scatter kernel of a slab over that of the
// thick phantom by rows counted from the exit face (row 1 the last 0.5-cm
// layer), for slabs of 10, 20 and 30 cm. The deficit is set mostly by the
// tissue missing behind a layer, and varies slowly with the slab's
// thickness: between two computed slabs the ratio is interpolated linearly
// in 1/T, and beyond the thickest its set is taken (see
// data/PDS-exit/README.md for the slabs left out that check it). The
// primary is local and needs nothing.

#include "core/Inputs.h"
#include "core/Messages.h"
#include "dose/ScatterKernels.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

namespace veltrim {

// Folder of the exit-ratio sets inside the data folder, one subfolder per
// slab ("PDS-exit/20"), each 29 files in the layout of PDS-data/ with rows
// counted from the exit.
inline constexpr const char* ExitRatioFolder = "PDS-exit";
// The slabs of the sets, cm, rising.
inline constexpr std::array<double, 3> ExitRatioSlabs = {10, 20, 30};

// The thicknesses a calculation takes, cm: whole 0.5-cm layers from the
// thinnest computed slab to the thick phantom itself.
inline constexpr double MinPhantomThickness = inputs::Thickness.Least;
inline constexpr double MaxPhantomThickness = inputs::Thickness.Most;

// Why a thickness cannot be calculated (none: it can).
std::optional<Message> ThicknessProblem(double thicknessCm);

// The exit-ratio sets of the slabs, in the order of ExitRatioSlabs.
using ExitRatioSets = std::array<std::unique_ptr<KernelSet>, ExitRatioSlabs.size()>;
// Reads them from PDS-exit/ of a data folder. Throws DataFileError.
ExitRatioSets ReadExitRatioSets(const std::filesystem::path& dataFolder);
// The same, each set taken from `read` (its folder relative to the data folder).
ExitRatioSets ReadExitRatioSets(const KernelSetReader& read);

// The kernels of a slab `thicknessCm` thick (10..60) from those of the
// thick phantom: each row times the ratio of its place from the exit face
// (rows beyond the thinner slab's reach take the thicker slab's ratio);
// rows below the slab are 0, rows further from the exit than the sets
// reach keep the thick phantom's value. The reference stays valid until the
// next call.
class SlabKernelSource final : public KernelSource {
  public:
    SlabKernelSource(KernelSource& thick, const ExitRatioSets& ratios, double thicknessCm);
    const ScatterKernelTable& Kernel(int energyKeV) override;

  private:
    KernelSource& thick_;
    const KernelSet* thinner_;
    const KernelSet* thicker_;
    double thinnerWeight_; // share of the thinner slab's ratio
    int thinnerRows_ = 0;  // the thinner slab's layers
    int slabRows_;
    ScatterKernelTable table_{};
};

} // namespace veltrim
