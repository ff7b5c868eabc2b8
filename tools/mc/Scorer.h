#pragma once

#include "tools/mc/Interactions.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/TissueModel.h"

#include <cstddef>
#include <cstdint>

namespace veltrim::mc {

// A photon at the point of its next interaction, before the kind is drawn.
struct CollisionSite {
    Position P;
    Direction D;
    double Energy = 0.0; // keV
    double Weight = 1.0;
    Coefficients Mu; // at Energy, 1/cm
    bool Scattered = false;
    std::uint64_t History = 0;
};

// The first scattering of a photon's line: where it happened and where it
// sent the photon. Every photon descended from that scattering (its copies
// too) carries it, with the deepest point the line has reached so far: a
// slab thinner than that would have lost the photon through its far face.
struct FirstScattering {
    double Depth = 0.0;    // cm below the entrance face
    Direction Out;         // direction of the scattered photon
    bool Coherent = false; // coherent (true) or incoherent scattering
    double Deepest = 0.0;  // cm below the entrance face
};

// A straight flight of a photon: from From along the unit direction D over
// Length cm, at Energy keV with statistical weight Weight, up to a collision
// or a slab boundary of the depth importance. A photon that leaves the
// phantom on the way flies on to where its flight would have ended; a
// track-length tally of cells inside the phantom, a convex body, never sees
// that part.
struct FlightPath {
    Position From;
    Direction D;
    double Length = 0.0; // cm
    double Energy = 0.0; // keV
    double Weight = 1.0;
    bool Scattered = false;
};

// The bins of a tally's energy balance of the whole phantom (keV per
// history): what the scorer is told of deposits and of escaping photons,
// and, for photons of a focus, whose energies differ from history to
// history, the energy brought in.
enum BalanceBin : std::size_t {
    kPrimaryAnywhere = 0,
    kScatterAnywhere = 1,
    kEscaping = 2,
    kIncident = 3,
};

// What a transported history scores. The transport tells the scorer where
// each photon interacts, what it deposits and what leaves the phantom;
// energies are weight x keV, `history` the history's number, and
// `scattered` whether the photon had been scattered before this point.
class Scorer {
  public:
    virtual ~Scorer() = default;

    // A photon reaches an interaction point, before the kind is sampled.
    virtual void Collision(const CollisionSite& /*site*/) {}
    // A photon has flown a straight path (track-length tallies).
    virtual void Flight(const FlightPath& /*path*/, std::uint64_t /*history*/) {}
    virtual void Deposit(const Position& p, double energy, bool scattered,
                         std::uint64_t history) = 0;
    virtual void Escape(double energy, std::uint64_t history) = 0;
    // A deposit after the photon's first scattering, with that scattering;
    // by default simply a scattered deposit.
    virtual void ScatterDeposit(const Position& p, double energy, const FirstScattering& /*first*/,
                                std::uint64_t history) {
        Deposit(p, energy, true, history);
    }

  protected:
    Scorer() = default;
    Scorer(const Scorer&) = default;
    Scorer& operator=(const Scorer&) = default;
};

} // namespace veltrim::mc
