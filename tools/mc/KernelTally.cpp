#include "tools/mc/KernelTally.h"

namespace veltrim::mc {

KernelTally::KernelTally(double density)
    : rowMassThickness_(density * CellGrid::kRowThickness),
      primaryCells_(CellGrid::kRows * CellGrid::kRings),
      scatterCells_(CellGrid::kRows * CellGrid::kRings), primaryRows_(CellGrid::kRows),
      scatterRows_(CellGrid::kRows), balance_(kBalanceBins) {}

void KernelTally::Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) {
    balance_.Score(scattered ? kScatterAnywhere : kPrimaryAnywhere, energy, history);
    const auto cell = CellGrid::CellOf(p);
    if (!cell) {
        return;
    }
    const std::size_t row = *cell / CellGrid::kRings;
    if (scattered) {
        scatterCells_.Score(*cell, energy, history);
        scatterRows_.Score(row, energy, history);
    } else {
        primaryCells_.Score(*cell, energy, history);
        primaryRows_.Score(row, energy, history);
    }
}

void KernelTally::Escape(double energy, std::uint64_t history) {
    balance_.Score(kEscaping, energy, history);
}

KernelSets::KernelSets(std::size_t sets) {
    for (std::size_t k = 0; k < sets; ++k) {
        cells_.emplace_back(CellGrid::kRows * CellGrid::kRings);
        rows_.emplace_back(CellGrid::kRows);
    }
}

void KernelSets::Finish() {
    for (std::size_t k = 0; k < cells_.size(); ++k) {
        cells_[k].Finish();
        rows_[k].Finish();
    }
}

KernelSets& KernelSets::operator+=(const KernelSets& other) {
    for (std::size_t k = 0; k < cells_.size(); ++k) {
        cells_[k] += other.cells_[k];
        rows_[k] += other.rows_[k];
    }
    return *this;
}

} // namespace veltrim::mc
