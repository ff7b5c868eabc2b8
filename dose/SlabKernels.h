#pragma once

// A phantom of finite thickness: near its exit face the scatter that the
// tissue behind would have sent back is missing. The exit-ratio set holds,
// per node energy and ring, the scatter kernel of a slab over that of the
// thick phantom by rows counted from the exit face (row 1 the last 0.5-cm
// layer); the deficit is set by the tissue that is missing behind a layer,
// so the ratio of one computed slab serves every thickness (see
// data/PDS-exit/README.md for the slabs left out that check it). The
// primary is local and needs nothing.

#include "core/Messages.h"
#include "dose/ScatterKernels.h"

#include <optional>

namespace veltrim {

// Folder of the exit-ratio set inside the data folder, 29 files in the
// layout of PDS-data/ with rows counted from the exit.
inline constexpr const char* ExitRatioFolder = "PDS-exit";

// The thicknesses a calculation takes, cm: whole 0.5-cm layers from the
// thinnest slab the ratios were checked for to the thick phantom itself.
inline constexpr double MinPhantomThickness = 10.0;
inline constexpr double MaxPhantomThickness = 60.0;

// Why a thickness cannot be calculated (none: it can).
std::optional<Message> ThicknessProblem(double thicknessCm);

// The kernels of a slab `thicknessCm` thick from those of the thick
// phantom: each row times the ratio of its place from the exit face; rows
// below the slab are 0, rows further from the exit than the set reaches
// keep the thick phantom's value. The reference stays valid until the next call.
class SlabKernelSource final : public KernelSource {
  public:
    SlabKernelSource(KernelSource& thick, const KernelSet& exitRatio, double thicknessCm);
    const ScatterKernelTable& Kernel(int energyKeV) override;

  private:
    KernelSource& thick_;
    const KernelSet& exitRatio_;
    int slabRows_;
    ScatterKernelTable table_{};
};

} // namespace veltrim
