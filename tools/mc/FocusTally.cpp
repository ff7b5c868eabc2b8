#include "tools/mc/FocusTally.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltrim::mc {

int ExtraScores::FineRowCount() const {
    int count = 0;
    for (const FineRows& rows : Fine) {
        count += rows.Count;
    }
    return count;
}

FocusTally::FocusTally(int rows, bool ringCells, const ExtraScores* extras)
    : ScatterCells(ringCells ? static_cast<std::size_t>(rows) * CellGrid::kRings : 0),
      ScatterRows(static_cast<std::size_t>(rows)), PrimaryTube(static_cast<std::size_t>(rows)),
      ScatterTube(static_cast<std::size_t>(rows)), Balance(kBalanceBins),
      Surface(extras && extras->Surface ? std::size_t{kSurfaceBins} : 0),
      FineScatter(extras ? static_cast<std::size_t>(extras->FineRowCount()) : 0), rows_(rows),
      ringCells_(ringCells) {}

int RingAtDepth(const Focus& focus, double entryRadius, double z) {
    const double radius =
        focus.Parallel() ? entryRadius : entryRadius * (focus.Fsd + z) / focus.Fsd;
    const double t = radius / CellGrid::kRingWidth;
    return t >= CellGrid::kRings ? CellGrid::kRings : static_cast<int>(t);
}

FocusScorer::FocusScorer(const AxisEstimator& estimator, const Focus& focus, FocusTally& tally,
                         RandomStream& random, const ExtraScores* extras)
    : estimator_(estimator), focus_(focus), tally_(tally), random_(random),
      ring_(static_cast<std::size_t>(tally.Rows())),
      dose_(static_cast<std::size_t>(
          std::max(estimator.Rows(), extras ? extras->FineRowCount() : 0))),
      extras_(extras), surfaceRandom_(random), fineRandom_(random) {
    if (extras_) {
        surfaceRandom_.LongJump();
        fineRandom_ = surfaceRandom_;
        fineRandom_.LongJump();
    }
}

void FocusScorer::StartHistory(const FocusPhoton& photon, std::uint64_t history) {
    weight_ = photon.Weight;
    for (int a = 0; a < tally_.Rows(); ++a) {
        const double middle = (a + 0.5) * CellGrid::kRowThickness;
        ring_[static_cast<std::size_t>(a)] = RingAtDepth(focus_, photon.EntryRadius, middle);
    }
    tally_.Balance.Score(kIncident, weight_ * photon.Photon.Energy, history);
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
    if (extras_) {
        CollisionExtras(site);
    }
}

void FocusScorer::CollisionExtras(const CollisionSite& site) {
    if (extras_->Surface) {
        const SurfaceEstimator::Kerma k = extras_->Surface->Estimate(site, surfaceRandom_);
        tally_.Surface.Score(FocusTally::kNextEventTissue, weight_ * k.Tissue, site.History);
        tally_.Surface.Score(FocusTally::kNextEventAir, weight_ * k.Air, site.History);
    }
    std::size_t first = 0;
    for (const FineRows& rows : extras_->Fine) {
        std::fill(dose_.begin(), dose_.begin() + rows.Count, 0.0);
        // The estimator scores the line through the origin: move the site
        // instead of the line.
        CollisionSite shifted = site;
        shifted.P.X -= rows.X;
        estimator_.EstimateRows(shifted, fineRandom_, dose_.data(), rows.Top, rows.Thickness,
                                rows.Count);
        for (std::size_t a = 0; a < static_cast<std::size_t>(rows.Count); ++a) {
            tally_.FineScatter.Score(first + a, weight_ * dose_[a], site.History);
        }
        first += static_cast<std::size_t>(rows.Count);
    }
}

void FocusScorer::Flight(const FlightPath& path, std::uint64_t history) {
    if (!extras_ || !extras_->Surface || !path.Scattered) {
        return;
    }
    LayerPieces(path, extras_->Layer, pieces_);
    const KermaFactors& kerma = extras_->Surface->Factors();
    for (const LayerPiece& piece : pieces_) {
        // Track length over the volume of the layer's disc: its mean fluence.
        const double radius = extras_->Layer.RingWidth;
        const double fluence = weight_ * path.Weight * piece.Length /
                               (extras_->Layer.Thickness * std::numbers::pi * radius * radius);
        tally_.Surface.Score(FocusTally::kLayerTissue, fluence * kerma.Tissue(path.Energy),
                             history);
        tally_.Surface.Score(FocusTally::kLayerAir, fluence * kerma.Air(path.Energy), history);
    }
}

void FocusScorer::Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) {
    tally_.Balance.Score(scattered ? kScatterAnywhere : kPrimaryAnywhere, weight_ * energy,
                         history);
    if (p.X * p.X + p.Y * p.Y >= FocusTally::kTubeRadius * FocusTally::kTubeRadius) {
        return;
    }
    const auto row = CellGrid::RowOf(p.Z);
    if (!row || *row >= static_cast<std::size_t>(tally_.Rows())) {
        return;
    }
    // Energy per unit mass of the tube's row.
    const double tubeMass = std::numbers::pi * FocusTally::kTubeRadius * FocusTally::kTubeRadius *
                            CellGrid::kRowThickness * estimator_.Density();
    (scattered ? tally_.ScatterTube : tally_.PrimaryTube)
        .Score(*row, weight_ * energy / tubeMass, history);
}

void FocusScorer::Escape(double energy, std::uint64_t history) {
    tally_.Balance.Score(kEscaping, weight_ * energy, history);
}

} // namespace veltrim::mc
