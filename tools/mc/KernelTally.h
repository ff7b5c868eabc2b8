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
class KernelTally final : public Scorer, public ArrayTally<KernelTally> {
  public:
    enum BalanceBin : std::size_t {
        kPrimaryAnywhere = 0,
        kScatterAnywhere = 1,
        kEscaping = 2,
        kBalanceBins = 3
    };

    KernelTally();

    void Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) override;
    void Escape(double energy, std::uint64_t history) override;

    const ScoringArray& PrimaryCells() const { return primaryCells_; }
    const ScoringArray& ScatterCells() const { return scatterCells_; }
    const ScoringArray& PrimaryRows() const { return primaryRows_; }
    const ScoringArray& ScatterRows() const { return scatterRows_; }
    const ScoringArray& Balance() const { return balance_; }

  private:
    friend class ArrayTally<KernelTally>;
    static std::array<ScoringArray KernelTally::*, 5> Arrays() {
        return {&KernelTally::primaryCells_, &KernelTally::scatterCells_,
                &KernelTally::primaryRows_, &KernelTally::scatterRows_, &KernelTally::balance_};
    }

    ScoringArray primaryCells_;
    ScoringArray scatterCells_;
    ScoringArray primaryRows_;
    ScoringArray scatterRows_;
    ScoringArray balance_;
};

} // namespace veltrim::mc
