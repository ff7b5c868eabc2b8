#pragma once

// Scatter kernels of a point focus, tabulated at a few focus-to-surface
// distances. Kernel (c, a) of a set at FSD f is the scatter dose on the
// axis in row a from the photons of the focus that cross the plane of row a
// within ring c, per unit fluence on the axis in that plane; the cone of
// ring c then meets the field projected to that depth exactly, so the
// calculation uses such a set as it uses the parallel-beam kernels. Between
// two tabulated FSDs the kernels are interpolated linearly in 1/FSD; the
// parallel-beam set stands for 1/FSD = 0.

#include "dose/ScatterKernels.h"

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace veltrim {

// How the scatter of a calculation is formed: from the parallel-beam kernels
// with the inverse square of the point of calculation (classic, the
// default), or from the kernels of a point focus at the calculation's FSD
// (divergent).
enum class ScatterModel { Classic, Divergent };

// Folder of the point-focus sets inside the data folder, one subfolder per
// FSD ("PDS-focus/50"), each holding 29 kernel files as PDS-data/ does.
inline constexpr const char* FocusKernelFolder = "PDS-focus";
// The FSDs of the four-component tissue's sets, cm, rising. Each phantom
// medium has sets of its own, not necessarily at these FSDs.
inline constexpr std::array<double, 6> FocusKernelFsds{50.0, 60.0, 75.0, 100.0, 150.0, 250.0};

// The FSDs of the sets a data folder holds, rising: the subfolders of its
// PDS-focus/ named by a whole number of cm. A folder holding none gives the
// four-component tissue's list, so that a calculation names the file it
// misses rather than a list it cannot see.
std::vector<double> FocusSetFsds(const std::filesystem::path& dataFolder);

// The folder of the set of a tabulated FSD, relative to the data folder.
std::filesystem::path FocusSetFolder(double fsd);

// The two sets around an FSD and the share of the nearer one.
struct FsdBracket {
    double NearFsd = 0.0; // the largest tabulated FSD at or below the one asked for
    double FarFsd = 0.0;  // the next tabulated FSD above; infinity for the parallel set
    double NearWeight = 1.0;
};

// The bracket of `fsd` among `tabulated` (finite, positive, rising). An FSD
// equal to a tabulated one gets that set alone (NearWeight exactly 1). Empty
// for an FSD below the smallest tabulated one (or not a positive number):
// the sets are not extrapolated.
std::optional<FsdBracket> BracketFsd(std::span<const double> tabulated, double fsd);

// The kernels interpolated between two sources, nearWeight x near +
// (1 - nearWeight) x far, cell by cell. The reference it returns stays valid
// until the next call.
class InterpolatedKernelSource final : public KernelSource {
  public:
    InterpolatedKernelSource(KernelSource& near, KernelSource& far, double nearWeight);
    const ScatterKernelTable& Kernel(int energyKeV) override;

  private:
    KernelSource& near_;
    KernelSource& far_;
    double nearWeight_;
    std::unique_ptr<ScatterKernelTable> table_;
};

// The point-focus sets of a data folder, each read when a calculation first
// needs it and kept: a window or a batch that calculates many divergent
// curves reads each set once.
class FocusKernelLibrary {
  public:
    explicit FocusKernelLibrary(std::filesystem::path dataFolder, KernelSetReader read = {});

    // The kernels of a focus at `fsd` cm, interpolated in 1/FSD between the
    // sets around it (beyond the largest set, towards the parallel-beam
    // kernels). Below the smallest set throws CalculationError
    // (CauseDivergentFsdBelowSets); a set that cannot be read, DataFileError.
    std::unique_ptr<KernelSource> SourceFor(double fsd);

  private:
    const KernelSet& Set(double fsd); // infinity: the parallel-beam kernels

    std::filesystem::path dataFolder_;
    KernelSetReader read_;
    std::vector<double> fsds_; // listed when a calculation first asks
    std::map<double, std::unique_ptr<KernelSet>> sets_;
};

} // namespace veltrim
