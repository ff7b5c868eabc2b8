#include "tools/mc/FocusTally.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltrim::mc {

FocusTally::FocusTally(int rows, bool ringCells)
    : ScatterCells(ringCells ? static_cast<std::size_t>(rows) * CellGrid::kRings : 0),
      ScatterRows(static_cast<std::size_t>(rows)), PrimaryTube(static_cast<std::size_t>(rows)),
      ScatterTube(static_cast<std::size_t>(rows)), Balance(kBalanceBins), rows_(rows),
      ringCells_(ringCells) {}

void FocusTally::Finish(std::uint64_t histories) {
    histories_ += histories;
    ScatterCells.Finish();
    ScatterRows.Finish();
    PrimaryTube.Finish();
    ScatterTube.Finish();
    Balance.Finish();
}

FocusTally& FocusTally::operator+=(const FocusTally& other) {
    histories_ += other.histories_;
    ScatterCells += other.ScatterCells;
    ScatterRows += other.ScatterRows;
    PrimaryTube += other.PrimaryTube;
    ScatterTube += other.ScatterTube;
    Balance += other.Balance;
    return *this;
}

int RingAtDepth(const Focus& focus, double entryRadius, double z) {
    const double radius =
        focus.Parallel() ? entryRadius : entryRadius * (focus.Fsd + z) / focus.Fsd;
    const double t = radius / CellGrid::kRingWidth;
    return t >= CellGrid::kRings ? CellGrid::kRings : static_cast<int>(t);
}

FocusScorer::FocusScorer(const AxisEstimator& estimator, const Focus& focus, FocusTally& tally,
                         RandomStream& random)
    : estimator_(estimator), focus_(focus), tally_(tally), random_(random),
      ring_(static_cast<std::size_t>(tally.Rows())), dose_(static_cast<std::size_t>(tally.Rows())) {
}

void FocusScorer::StartHistory(const FocusPhoton& photon, std::uint64_t history) {
    weight_ = photon.Weight;
    for (int a = 0; a < tally_.Rows(); ++a) {
        const double middle = (a + 0.5) * CellGrid::kRowThickness;
        ring_[static_cast<std::size_t>(a)] = RingAtDepth(focus_, photon.EntryRadius, middle);
    }
    tally_.Balance.Score(FocusTally::kIncident, weight_ * photon.Photon.Energy, history);
}

void FocusScorer::Collision(const CollisionSite& site) {
    std::fill(dose_.begin(), dose_.end(), 0.0);
    estimator_.Estimate(site, random_, dose_.data());
    for (int a = 0; a < tally_.Rows(); ++a) {
        const auto row = static_cast<std::size_t>(a);
        const double dose = weight_ * dose_[row];
        if (!tally_.RingCells()) {
            tally_.ScatterRows.Score(row, dose, site.History);
        } else if (ring_[row] < CellGrid::kRings) {
            tally_.ScatterRows.Score(row, dose, site.History);
            tally_.ScatterCells.Score(row * CellGrid::kRings + static_cast<std::size_t>(ring_[row]),
                                      dose, site.History);
        }
    }
}

void FocusScorer::Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) {
    tally_.Balance.Score(scattered ? FocusTally::kScatterAnywhere : FocusTally::kPrimaryAnywhere,
                         weight_ * energy, history);
    if (p.X * p.X + p.Y * p.Y >= FocusTally::kTubeRadius * FocusTally::kTubeRadius) {
        return;
    }
    const auto row = CellGrid::RowOf(p.Z);
    if (!row || *row >= static_cast<std::size_t>(tally_.Rows())) {
        return;
    }
    // Energy per unit mass of the tube's row (density 1.00 g/cm3 as in the kernels).
    constexpr double kTubeMass = std::numbers::pi * FocusTally::kTubeRadius *
                                 FocusTally::kTubeRadius * CellGrid::kRowThickness * 1.00;
    (scattered ? tally_.ScatterTube : tally_.PrimaryTube)
        .Score(*row, weight_ * energy / kTubeMass, history);
}

void FocusScorer::Escape(double energy, std::uint64_t history) {
    tally_.Balance.Score(FocusTally::kEscaping, weight_ * energy, history);
}

} // namespace veltrim::mc
