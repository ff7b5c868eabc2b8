#pragma once

#include "tools/mc/AxisEstimator.h"
#include "tools/mc/FocusSource.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"

#include <cstdint>
#include <vector>

namespace veltrim::mc {

// What a run of focus histories scores, per history, with history-by-history
// uncertainties; doses per unit axis fluence at the entrance face:
// - the scatter dose on the axis of each row (next-event estimate), and, for
//   kernels, the same split by the ring through which the history's photon
//   crosses the plane of the row's middle (rings 0..79 of 0.5 cm, counted
//   from 0; photons crossing beyond ring 79 are not scored);
// - the primary dose (first interactions) in a tube of kTubeRadius around
//   the axis, per row: a check of the source against the primary-dose table;
// - the energy balance: energy brought in, primary and scatter deposits
//   anywhere, and the energy carried out by escaping photons.
class FocusTally {
  public:
    static constexpr double kTubeRadius = 0.5; // cm
    enum BalanceBin : std::size_t {
        kIncident = 0,
        kPrimaryAnywhere = 1,
        kScatterAnywhere = 2,
        kEscaping = 3,
        kBalanceBins = 4
    };

    FocusTally(int rows, bool ringCells);

    int Rows() const { return rows_; }
    bool RingCells() const { return ringCells_; }
    std::uint64_t Histories() const { return histories_; }

    void Finish(std::uint64_t histories);
    FocusTally& operator+=(const FocusTally& other);

    // keV/g per unit axis fluence at the entrance face (keV cm2/g); bin row *
    // kRings + ring. Empty unless ringCells.
    ScoringArray ScatterCells;
    ScoringArray ScatterRows;
    ScoringArray PrimaryTube; // keV cm2/g as well
    // The scatter deposited in the tube: an estimate of the axis dose
    // independent of the next-event estimator, fair where the dose is flat
    // across the tube (the middle of a broad field).
    ScoringArray ScatterTube;
    ScoringArray Balance; // keV per unit axis fluence, i.e. keV cm2

  private:
    int rows_;
    bool ringCells_;
    std::uint64_t histories_ = 0;
};

// Scores one batch of histories into a FocusTally. Call StartHistory before
// transporting each sampled photon.
class FocusScorer final : public Scorer {
  public:
    FocusScorer(const AxisEstimator& estimator, const Focus& focus, FocusTally& tally,
                RandomStream& random);

    void StartHistory(const FocusPhoton& photon, std::uint64_t history);

    void Collision(const CollisionSite& site) override;
    void Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) override;
    void Escape(double energy, std::uint64_t history) override;

  private:
    const AxisEstimator& estimator_;
    Focus focus_;
    FocusTally& tally_;
    RandomStream& random_;
    double weight_ = 0.0;
    std::vector<int> ring_; // per row, the ring of the history's photon (kRings: none)
    std::vector<double> dose_;
};

// The ring (from 0) through which a photon of the focus that enters at
// entryRadius crosses the plane at depth z.
int RingAtDepth(const Focus& focus, double entryRadius, double z);

} // namespace veltrim::mc
