#pragma once

#include "tools/mc/Phantom.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"

#include <cstdint>

namespace veltrim::mc {

// What a run of pencil-beam histories scores, per incident photon:
// - the energy deposited in each cell (80 rows x 80 rings), separately at
//   first interactions (primary) and at later ones (scatter);
// - the same summed over the rings of each row, as separate bins, because
//   the uncertainty of a row sum needs the history-by-history sums;
// - the energy balance of the whole phantom: primary and scatter deposits
//   anywhere, and the energy carried out by escaping photons.
// Energies in keV.
class KernelTally final : public Scorer {
  public:
    enum BalanceBin : std::size_t {
        kPrimaryAnywhere = 0,
        kScatterAnywhere = 1,
        kEscaping = 2,
        kBalanceBins = 3
    };

    // density: of the phantom, g/cm3, which turns a row's energy into a dose.
    explicit KernelTally(double density);

    void Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) override;
    void Escape(double energy, std::uint64_t history) override;

    // Closes the last history of a batch of `histories` histories.
    void Finish(std::uint64_t histories);
    KernelTally& operator+=(const KernelTally& other);

    std::uint64_t Histories() const { return histories_; }
    double RowMassThickness() const { return rowMassThickness_; } // g/cm2
    const ScoringArray& PrimaryCells() const { return primaryCells_; }
    const ScoringArray& ScatterCells() const { return scatterCells_; }
    const ScoringArray& PrimaryRows() const { return primaryRows_; }
    const ScoringArray& ScatterRows() const { return scatterRows_; }
    const ScoringArray& Balance() const { return balance_; }

  private:
    double rowMassThickness_;
    std::uint64_t histories_ = 0;
    ScoringArray primaryCells_;
    ScoringArray scatterCells_;
    ScoringArray primaryRows_;
    ScoringArray scatterRows_;
    ScoringArray balance_;
};

} // namespace veltrim::mc
