#pragma once

// Scatter kernels of a point focus from pencil-beam histories.
//
// Behind the first scattering of a photon, transport in the laterally
// uniform phantom does not care where that scattering happened, so a
// pencil-beam history can stand for a photon of the focus whose first
// scattering lies anywhere at the same depth: a deposit at lateral offset q
// from the pencil, in row a, is the dose on the axis from a photon that
// scattered first at -q from the axis. That photon came from the focus along
// the ray through -q, so it crosses the plane of row a's middle at radius
// |q| (f + z_a) / (f + z_1) (z_1 the depth of its first scattering), which
// fixes its ring. Three weights turn the pencil's photon into the focus's:
// - the photons of the focus crossing a plane at radius r, per unit area,
//   are cos^3(theta) of those on the axis, and the ray meets a depth
//   interval 1 / cos(theta) times as long, so cos^2(theta); the ring's
//   photons spread over (f + z_1)^2 / (f + z_a)^2 of its area at z_1;
// - the ray reaches z_1 through z_1 / cos(theta) of tissue, not z_1:
//   exp(-mu (1 / cos(theta) - 1) z_1);
// - the scattering turned a photon coming along the ray, not along the
//   axis: the ratio of the angular densities (Klein-Nishina x S(q), or
//   Thomson x F(q)^2) at the angle to the ray and at the angle sampled.
//   The scattered energy stays that of the sampled angle; the difference,
//   a few tenths of a keV at the angles that matter, is left out.
// One pencil run so gives the kernels of any number of FSDs at once, with
// the efficiency of the parallel-beam kernels' reciprocity. An infinite FSD
// gives the parallel kernels themselves.

#include "dose/ScatterKernels.h"
#include "tools/mc/KernelRun.h"
#include "tools/mc/KernelTally.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/ScoringArray.h"
#include "tools/mc/TissueModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veltrim::mc {

// The angular density per unit solid angle of a scattering of a photon of E
// keV through cosTheta, up to a factor that depends on E only.
double ScatteringDensity(const TissueModel& tissue, double E, double cosTheta, bool coherent);

// Per FSD (cm, infinity for the parallel beam), the scatter energy of
// pencil-beam histories mapped onto the focus's rings, keV per incident
// photon, with history-by-history uncertainties; cells row * kRings + ring.
class DivergentKernelTally final : public Scorer, public ArrayTally<DivergentKernelTally> {
    // It finishes and merges the arrays that Arrays() names.
    friend class ArrayTally<DivergentKernelTally>;

  public:
    DivergentKernelTally(const TissueModel& tissue, double energy, std::vector<double> fsds);

    void Deposit(const Position&, double, bool, std::uint64_t) override {}
    void Escape(double, std::uint64_t) override {}
    void ScatterDeposit(const Position& p, double energy, const FirstScattering& first,
                        std::uint64_t history) override;

    double RowMassThickness() const {
        return tissue_->Material().Density * CellGrid::kRowThickness;
    }
    const std::vector<double>& Fsds() const { return fsds_; }
    const ScoringArray& Cells(std::size_t set) const { return sets_.Cells(set); }
    const ScoringArray& Rows(std::size_t set) const { return sets_.Rows(set); }

  private:
    static std::array<KernelSets DivergentKernelTally::*, 1> Arrays() {
        return {&DivergentKernelTally::sets_};
    }

    const TissueModel* tissue_;
    double energy_;
    double mu_;
    std::vector<double> fsds_;
    KernelSets sets_; // one per FSD
};

// The kernel of set `set`, [ring][row] from 1 as the program reads it (keV cm2/g).
ScatterKernelTable DivergentKernel(const DivergentKernelTally& tally, std::size_t set);

// The worst row-sum uncertainty over all sets (rows above floor x row 1's).
RowStatistics DivergentRowStatistics(const DivergentKernelTally& tally, double floor);

// Runs the pencil-beam histories of `settings` (Energy, streams, batches,
// importance, stopping rule applied to every set) and maps them onto the
// sets of `fsds`.
DivergentKernelTally
RunDivergentKernels(const TissueModel& tissue, const RunSettings& settings,
                    const std::vector<double>& fsds,
                    const std::function<void(const DivergentKernelTally&)>& progress = {});

// runs.csv and statistics.csv of a divergent run: one line per FSD and
// energy, and per FSD, energy and row the scatter row sum with its 1-sigma.
std::string DivergentRunHeader();
std::string DivergentRunLines(double energy, const DivergentKernelTally& tally, double floor);
std::string DivergentRowHeader();
std::string DivergentRowLines(double energy, const DivergentKernelTally& tally);

} // namespace veltrim::mc
