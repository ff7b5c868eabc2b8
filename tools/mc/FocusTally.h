#pragma once

#include "tools/mc/AxisEstimator.h"
#include "tools/mc/FocusSource.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"
#include "tools/mc/SurfaceEstimator.h"
#include "tools/mc/SurfaceTally.h"

#include <cstdint>
#include <vector>

namespace veltrim::mc {

// Rows of their own thickness below a depth, on a vertical line.
struct FineRows {
    double Top = 0.0;       // cm below the surface
    double Thickness = 0.1; // cm, each row
    int Count = 0;          // rows from Top down
    double X = 0.0;         // cm from the axis along the field's first side (0: the axis)
};

// What a direct run scores besides the 0.5-cm rows: the scatter kerma at
// the entrance surface (by the next-event estimate of Surface and, as a
// check, by track length in Layer, a single ring as wide as Surface's disc)
// and the scatter dose on the axis in finer rows. They draw their random
// numbers from streams of their own, so that asking for them changes no
// other score of a run.
struct ExtraScores {
    const SurfaceEstimator* Surface = nullptr;
    SurfaceLayer Layer;
    std::vector<FineRows> Fine;

    int FineRowCount() const;
};

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
class FocusTally : public ArrayTally<FocusTally> {
  public:
    static constexpr double kTubeRadius = 0.5; // cm
    static constexpr std::size_t kBalanceBins = kIncident + 1;

    // Surface bins: next-event and track-length estimates, tissue and air.
    enum SurfaceBin : std::size_t {
        kNextEventTissue = 0,
        kNextEventAir = 1,
        kLayerTissue = 2,
        kLayerAir = 3,
        kSurfaceBins = 4
    };

    FocusTally(int rows, bool ringCells, const ExtraScores* extras = nullptr);

    int Rows() const { return rows_; }
    bool RingCells() const { return ringCells_; }

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
    // With extras: the scatter kerma at the surface (keV cm2/g) and the
    // scatter dose of the fine rows in the order of ExtraScores::Fine.
    ScoringArray Surface;
    ScoringArray FineScatter;

    static std::array<ScoringArray FocusTally::*, 7> Arrays() {
        return {&FocusTally::ScatterCells, &FocusTally::ScatterRows, &FocusTally::PrimaryTube,
                &FocusTally::ScatterTube,  &FocusTally::Balance,     &FocusTally::Surface,
                &FocusTally::FineScatter};
    }

  private:
    int rows_;
    bool ringCells_;
};

// Scores one batch of histories into a FocusTally. Call StartHistory before
// transporting each sampled photon.
class FocusScorer final : public Scorer {
  public:
    // The extras draw from streams 2^192 and 2^193 draws ahead of `random`
    // as it is handed over, one for the surface and one for the fine rows,
    // where the next stream numbers of the seed begin: a run with extras (a
    // direct run, stream 0 alone) never draws there otherwise.
    FocusScorer(const AxisEstimator& estimator, const Focus& focus, FocusTally& tally,
                RandomStream& random, const ExtraScores* extras = nullptr);

    void StartHistory(const FocusPhoton& photon, std::uint64_t history);

    void Collision(const CollisionSite& site) override;
    void Deposit(const Position& p, double energy, bool scattered, std::uint64_t history) override;
    void Escape(double energy, std::uint64_t history) override;
    void Flight(const FlightPath& path, std::uint64_t history) override;

  private:
    void CollisionExtras(const CollisionSite& site);

    const AxisEstimator& estimator_;
    Focus focus_;
    FocusTally& tally_;
    RandomStream& random_;
    double weight_ = 0.0;
    std::vector<int> ring_;    // per row, the ring of the history's photon (kRings: none)
    std::vector<double> dose_; // the estimator fills all its rows, the tally may use fewer
    const ExtraScores* extras_;
    RandomStream surfaceRandom_;
    RandomStream fineRandom_;
    std::vector<LayerPiece> pieces_;
};

// The ring (from 0) through which a photon of the focus that enters at
// entryRadius crosses the plane at depth z.
int RingAtDepth(const Focus& focus, double entryRadius, double z);

} // namespace veltrim::mc
