#include "tools/mc/Transport.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace veltrim::mc {
namespace {

struct Photon {
    Position P;
    Direction D;
    double Energy = 0.0;
    double Weight = 1.0;
    int Slab = 0;
    bool Scattered = false;
    FirstScattering First; // valid once Scattered
};

// Scores a deposit as primary before the photon's first scattering and as
// scatter, with that scattering, after it.
void Deposit(Scorer& scorer, const Photon& photon, double energy, std::uint64_t history) {
    if (photon.Scattered) {
        scorer.ScatterDeposit(photon.P, energy, photon.First, history);
    } else {
        scorer.Deposit(photon.P, energy, false, history);
    }
}

// Marks the photon scattered, remembering its first scattering.
void NoteScattering(Photon& photon, bool coherent) {
    if (!photon.Scattered) {
        photon.First = FirstScattering{photon.P.Z, photon.D, coherent, photon.First.Deepest};
        photon.Scattered = true;
    }
}

// Splitting never makes more copies than this at one crossing.
constexpr double kMaxCopies = 64.0;

// Distance along d from p to the next slab boundary, infinite if none lies
// ahead.
double DistanceToBoundary(const Photon& photon, const DepthImportance& importance) {
    const double w = photon.D.W;
    if (w > 0.0 && photon.Slab < importance.Slabs) {
        return ((photon.Slab + 1) * importance.SlabThickness - photon.P.Z) / w;
    }
    if (w < 0.0 && photon.Slab > 0) {
        return (photon.Slab * importance.SlabThickness - photon.P.Z) / w;
    }
    return std::numeric_limits<double>::infinity();
}

// Brings the weight of a photon that has just entered its slab to the
// slab's target: splits (copies go to `bank`) or plays roulette. Returns
// false when the photon is killed.
bool ApplyImportance(Photon& photon, const DepthImportance& importance, RandomStream& random,
                     std::vector<Photon>& bank) {
    const double ratio = photon.Weight / importance.TargetWeight(photon.Slab);
    if (ratio > 1.0) {
        // n copies, n = ratio rounded up or down at random so that its mean is the ratio.
        const double n = std::min(kMaxCopies, std::floor(ratio + random.Uniform()));
        if (n > 1.0) {
            photon.Weight /= n;
            for (int k = 1; k < static_cast<int>(n); ++k) {
                bank.push_back(photon);
            }
        }
        return true;
    }
    if (ratio < 1.0) {
        if (random.Uniform() >= ratio) {
            return false;
        }
        photon.Weight /= ratio;
    }
    return true;
}

// Follows one photon (not its copies) to its end; copies made on the way
// are pushed onto `bank`.
void TransportPhoton(Photon photon, const Phantom& phantom, const TissueModel& tissue,
                     const DepthImportance& importance, RandomStream& random, Scorer& scorer,
                     std::uint64_t history, std::vector<Photon>& bank) {
    Position& p = photon.P;
    Direction& d = photon.D;
    double& E = photon.Energy;
    double& w = photon.Weight;
    Coefficients mu = tissue.At(E);
    while (true) {
        // Distance to the next collision, exponential with mean 1/mu. The
        // medium is homogeneous, so a flight cut at a slab boundary simply
        // starts afresh there.
        double s = -std::log(random.UniformOpenAtZero()) / mu.Total();
        bool alive = true;
        for (double t = DistanceToBoundary(photon, importance); s > t;
             t = DistanceToBoundary(photon, importance)) {
            // The boundary between slabs k and k + 1 lies at depth (k + 1) x thickness.
            const int below = d.W > 0.0 ? photon.Slab + 1 : photon.Slab;
            scorer.Flight(FlightPath{p, d, t, E, w, photon.Scattered}, history);
            p.X += t * d.U;
            p.Y += t * d.V;
            p.Z = below * importance.SlabThickness;
            photon.First.Deepest = std::max(photon.First.Deepest, p.Z);
            photon.Slab += d.W > 0.0 ? 1 : -1;
            if (!phantom.Contains(p)) {
                break; // left through the side before the boundary
            }
            if (!ApplyImportance(photon, importance, random, bank)) {
                alive = false;
                break;
            }
            s = -std::log(random.UniformOpenAtZero()) / mu.Total();
        }
        if (!alive) {
            return;
        }
        if (phantom.Contains(p)) {
            scorer.Flight(FlightPath{p, d, s, E, w, photon.Scattered}, history);
            p.X += s * d.U;
            p.Y += s * d.V;
            p.Z += s * d.W;
        }
        photon.First.Deepest = std::max(photon.First.Deepest, p.Z);
        if (!phantom.Contains(p)) {
            scorer.Escape(w * E, history);
            return;
        }
        scorer.Collision(CollisionSite{p, d, E, w, mu, photon.Scattered, history});
        switch (SampleInteraction(mu, random)) {
        case InteractionKind::Photoelectric:
            Deposit(scorer, photon, w * E, history);
            return;
        case InteractionKind::Incoherent: {
            const ScatteredPhoton out = SampleIncoherent(E, tissue, random);
            Deposit(scorer, photon, w * (E - out.Energy), history);
            // A photon absorbed on the spot draws no azimuth.
            const bool absorbed = out.Energy < TissueModel::kMinEnergy;
            if (!absorbed) {
                d = Deflect(d, out.CosTheta, 2.0 * std::numbers::pi * random.Uniform());
            }
            NoteScattering(photon, false);
            E = out.Energy;
            if (absorbed) {
                Deposit(scorer, photon, w * E, history);
                return;
            }
            mu = tissue.At(E);
            break;
        }
        case InteractionKind::Coherent:
            d = Deflect(d, SampleCoherentCosine(E, tissue, random),
                        2.0 * std::numbers::pi * random.Uniform());
            NoteScattering(photon, true);
            break;
        }
    }
}

} // namespace

void TransportHistory(const PencilBeam& beam, const Phantom& phantom, const TissueModel& tissue,
                      const DepthImportance& importance, RandomStream& random, Scorer& scorer,
                      std::uint64_t history) {
    TransportHistory(SourcePhoton{Position{}, Direction{}, beam.Energy}, phantom, tissue,
                     importance, random, scorer, history);
}

void TransportHistory(const SourcePhoton& source, const Phantom& phantom, const TissueModel& tissue,
                      const DepthImportance& importance, RandomStream& random, Scorer& scorer,
                      std::uint64_t history) {
    thread_local std::vector<Photon> bank;
    bank.clear();
    bank.push_back(Photon{source.P, source.D, source.Energy, 1.0, 0, false, FirstScattering{}});
    while (!bank.empty()) {
        const Photon photon = bank.back();
        bank.pop_back();
        TransportPhoton(photon, phantom, tissue, importance, random, scorer, history, bank);
    }
}

DepthImportance DepthImportanceFor(double mu, double factor, double span) {
    const double rate = factor * mu;
    if (!(rate > 0.0)) {
        return DepthImportance{};
    }
    const double slab = std::log(2.0) / rate;
    const double depth = std::min(CellGrid::kRows * CellGrid::kRowThickness, span / rate);
    return DepthImportance{slab, static_cast<int>(std::ceil(depth / slab))};
}

} // namespace veltrim::mc
