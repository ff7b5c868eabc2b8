#pragma once

#include "tools/mc/KermaFactors.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"

#include <cstdint>
#include <vector>

namespace veltrim::mc {

// The layer under the entrance face in which the kerma at the surface is
// scored, cut into rings around the axis. The layer stands for the surface
// itself: near a free surface the scatter fluence rises steeply with depth
// (photons running almost parallel to the face are missing at the face and
// present a few mean free paths down), so the layer is kept much thinner
// than a mean free path.
struct SurfaceLayer {
    double Thickness = 0.001; // cm
    double RingWidth = CellGrid::kRingWidth;
    int Rings = CellGrid::kRings;
};

// The part of a flight inside one ring of the layer (ring from 0).
struct LayerPiece {
    int Ring = 0;
    double Length = 0.0; // cm
};

// The parts of a flight inside the layer 0 <= z <= Thickness, split where it
// crosses the rings' circles; parts beyond the last ring are left out.
// `pieces` is cleared first.
void LayerPieces(const FlightPath& path, const SurfaceLayer& layer,
                 std::vector<LayerPiece>& pieces);

// The kerma at the entrance surface on the axis from photons entering over
// each ring with unit fluence, scored from pencil-beam histories on the axis
// by reciprocity and a track-length estimator in the layer: the kerma a
// photon of energy E' gives per unit fluence, K(E') = E' mu_en/rho(E'), times
// its path in the layer within ring c, divided by the layer thickness, is
// the kerma on the axis at the surface from the ring's photons, per unit
// fluence (keV cm2/g, the unit of the scatter kernels). A path is bounded
// by the layer and the ring, so a photon crossing the layer at a grazing
// angle scores a bounded amount, where a surface-crossing estimator (one
// over the cosine) would not.
// Scored per incident photon with history-by-history uncertainties, in
// tissue (Tissue) and in dry air (Air), the medium only changing K:
// - bins 0..Rings-1: the scatter kerma (photons scattered at least once) of
//   ring c;
// - kSumInner and kSumAll: the same summed over rings 1-40 and 1-80;
// - kPrimary: the kerma of the photons not yet scattered, all rings.
class SurfaceTally final : public Scorer, public ArrayTally<SurfaceTally> {
    // It finishes and merges the arrays that Arrays() names.
    friend class ArrayTally<SurfaceTally>;

  public:
    static constexpr int kInnerRings = 40; // out to 20 cm: the sum the stopping rule tests
    enum Bin : std::size_t {
        kSumInner = CellGrid::kRings,
        kSumAll = CellGrid::kRings + 1,
        kPrimary = CellGrid::kRings + 2,
        kBins = CellGrid::kRings + 3
    };

    SurfaceTally(const KermaFactors& kerma, const SurfaceLayer& layer);

    void Flight(const FlightPath& path, std::uint64_t history) override;
    void Deposit(const Position&, double, bool, std::uint64_t) override {}
    void Escape(double, std::uint64_t) override {}

    const SurfaceLayer& Layer() const { return layer_; }
    const ScoringArray& Tissue() const { return tissue_; }
    const ScoringArray& Air() const { return air_; }

  private:
    static std::array<ScoringArray SurfaceTally::*, 2> Arrays() {
        return {&SurfaceTally::tissue_, &SurfaceTally::air_};
    }

    const KermaFactors* kerma_;
    SurfaceLayer layer_;
    ScoringArray tissue_;
    ScoringArray air_;
    std::vector<LayerPiece> pieces_;
};

} // namespace veltrim::mc
