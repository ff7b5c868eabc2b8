#pragma once

#include "tools/mc/Phantom.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"

#include <cstdint>
#include <vector>

namespace veltrim::mc {

// What a run of pencil-beam histories scores, per incident photon:
// - the energy deposited in each cell (80 rows x 80 rings), separately at
//   first interactions (primary) and at later ones (scatter);
// - the same summed over the rings of each row, as separate bins, because
//   the uncertainty of a row sum needs the history-by-history sums;
// - the energy balance of the whole phantom: primary and scatter deposits
//   anywhere, and the energy carried out by escaping photons.
// Energies in keV.
class KernelTally final : public Scorer, public ArrayTally<KernelTally> {
    // It finishes and merges the arrays that Arrays() names.
    friend class ArrayTally<KernelTally>;

  public:
    // The pencil's photons all bring in the beam's energy: no kIncident.
    static constexpr std::size_t kBalanceBins = kEscaping + 1;

    // density: of the phantom, g/cm3, which turns a row's energy into a dose.
    explicit KernelTally(double density);

    void Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) override;
    void Escape(double energy, std::uint64_t history) override;

    // g/cm2: the medium's density x 0.5 cm, which turns a row's energy per
    // incident photon into a dose per unit fluence.
    double RowMassThickness() const { return rowMassThickness_; }
    const ScoringArray& PrimaryCells() const { return primaryCells_; }
    const ScoringArray& ScatterCells() const { return scatterCells_; }
    const ScoringArray& PrimaryRows() const { return primaryRows_; }
    const ScoringArray& ScatterRows() const { return scatterRows_; }
    const ScoringArray& Balance() const { return balance_; }

  private:
    static std::array<ScoringArray KernelTally::*, 5> Arrays() {
        return {&KernelTally::primaryCells_, &KernelTally::scatterCells_,
                &KernelTally::primaryRows_, &KernelTally::scatterRows_, &KernelTally::balance_};
    }

    double rowMassThickness_;
    ScoringArray primaryCells_;
    ScoringArray scatterCells_;
    ScoringArray primaryRows_;
    ScoringArray scatterRows_;
    ScoringArray balance_;
};

// Per set of kernels (an FSD, a slab), energy scored into the cells of the
// grid (row * kRings + ring) and into whole rows, each row a bin of its own
// for the history-by-history uncertainty of its sum.
class KernelSets {
  public:
    explicit KernelSets(std::size_t sets);

    void Score(std::size_t set, std::size_t cell, double energy, std::uint64_t history) {
        cells_[set].Score(cell, energy, history);
        rows_[set].Score(cell / CellGrid::kRings, energy, history);
    }
    void Finish();
    KernelSets& operator+=(const KernelSets& other);

    const ScoringArray& Cells(std::size_t set) const { return cells_[set]; }
    const ScoringArray& Rows(std::size_t set) const { return rows_[set]; }

  private:
    std::vector<ScoringArray> cells_;
    std::vector<ScoringArray> rows_;
};

} // namespace veltrim::mc
