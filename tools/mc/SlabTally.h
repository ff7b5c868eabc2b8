#pragma once

#include "dose/ScatterKernels.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/KernelTally.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veltrim::mc {

// The pencil-beam kernels of the semi-infinite phantom and, from the same
// histories, those of slabs of finite thickness. A slab T cm thick loses
// every photon that crosses its far face; in the thick phantom such a line
// goes on and may come back. So the slab's deposits are the thick
// phantom's less those of the lines that have been deeper than T: scoring
// that remainder per thickness gives every slab from one run, and the
// ratio slab / thick phantom its whole statistical correlation.
class SlabKernelTally final : public Scorer {
  public:
    // `density` in g/cm3: the medium's, which sets a row's mass thickness.
    SlabKernelTally(double density, std::vector<double> thicknesses);

    void Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) override;
    void Escape(double energy, std::uint64_t history) override;
    void ScatterDeposit(const Position& p, double energy, const FirstScattering& first,
                        std::uint64_t history) override;

    void Finish(std::uint64_t histories);
    SlabKernelTally& operator+=(const SlabKernelTally& other);

    std::uint64_t Histories() const { return whole_.Histories(); }
    const KernelTally& Whole() const { return whole_; }
    const std::vector<double>& Thicknesses() const { return thicknesses_; }
    // The scatter that slab k lacks against the thick phantom, per cell
    // (row * rings + ring) and per row.
    const ScoringArray& LostCells(std::size_t k) const { return lost_.Cells(k); }
    const ScoringArray& LostRows(std::size_t k) const { return lost_.Rows(k); }

  private:
    KernelTally whole_;
    std::vector<double> thicknesses_; // cm
    KernelSets lost_;                 // one per thickness
};

// The scatter kernel of slab k, [ring][row] from 1, keV cm2/g; rows below
// the slab are 0.
ScatterKernelTable SlabKernel(const SlabKernelTally& tally, std::size_t k);

// The slab's kernel over the thick phantom's by rows counted from the exit
// face: entry [c][j] is the ratio in ring c of the row j-th from the exit
// (j = 1 the last 0.5-cm layer of the slab). Rows the slab does not have,
// and cells where the thick phantom scored nothing, are 1.
ScatterKernelTable ExitRatio(const SlabKernelTally& tally, std::size_t k);

// The pencil-beam run of `settings` scored for the slabs; it stops as the
// thick phantom's kernels would, so they come out the same to the bit.
SlabKernelTally RunSlabKernels(const TissueModel& tissue, const RunSettings& settings,
                               const std::vector<double>& thicknesses);

} // namespace veltrim::mc

namespace veltrim::mc {

// Writes what a slab run of one node energy adds beside the thick
// phantom's kernel: OUT/slab-<T>/<E>.dat for every thickness, and for those
// whose `exitRatio` flag is set, OUT/exit-<T>/<E>.dat (ExitRatio).
// Appends the per-row scatter each slab lacks, with its 1-sigma, to
// `lostLines` (lines of slabs.csv, header SlabLostHeader()).
void WriteSlabFiles(const std::filesystem::path& out, int energy, const SlabKernelTally& tally,
                    const std::vector<bool>& exitRatio, std::string& lostLines);
std::string SlabLostHeader();

} // namespace veltrim::mc
