#pragma once

#include "tools/mc/Interactions.h"
#include "tools/mc/Phantom.h"
#include "tools/mc/Random.h"
#include "tools/mc/Scorer.h"
#include "tools/mc/TissueModel.h"

#include <cmath>
#include <cstdint>

namespace veltrim::mc {

// The source: monoenergetic photons entering the phantom at the centre of
// its entrance face, along its axis.
struct PencilBeam {
    double Energy = 0.0; // keV
};

// A photon entering the phantom on its entrance face (P.Z = 0, D.W > 0).
// It starts with weight 1, as the depth importance expects; a source that
// samples its photons with weights of its own applies them in its scorer.
struct SourcePhoton {
    Position P;
    Direction D;
    double Energy = 0.0; // keV
};

// Depth importance for variance reduction (geometry splitting): the phantom
// is cut into slabs parallel to the entrance face, each twice as important
// as the one above it, down to a last slab that reaches to the far face.
// A photon that crosses into a deeper slab is split into copies that share
// its weight, one that crosses into a shallower slab plays Russian roulette;
// either way its weight is brought to 2^-k in slab k. Splitting and roulette
// keep every score's expectation, and all copies belong to their history,
// so the history-by-history uncertainty stays right. The photons that reach
// deep rows are rare, and splitting on the way down (the uncollided primary
// too) gives those rows as many tracks as the shallow ones. Slabs = 0 is
// analog transport.
struct DepthImportance {
    double SlabThickness = 1.0; // cm
    int Slabs = 0;              // slab boundaries at k x SlabThickness, k = 1..Slabs

    double TargetWeight(int slab) const { return std::ldexp(1.0, -slab); }
};

// Follows one photon history from the source until it is absorbed or leaves
// the phantom, scoring into `scorer` as history number `history`.
// - Photoelectric absorption deposits the photon's energy on the spot (the
//   photoelectron's range is far below a cell, and the K-shell fluorescence
//   of H, C, N and O lies below 1 keV).
// - Incoherent scattering deposits the energy given to the electron on the
//   spot and goes on with the scattered photon; coherent scattering only
//   turns the photon.
// - A photon left with less than TissueModel::kMinEnergy is absorbed on the
//   spot.
// - Deposits before the photon's first scattering (that is, at its first
//   interaction) are primary, all later ones scatter.
// - Photons carry a statistical weight set by `importance`; scores are
//   weight x energy.
void TransportHistory(const PencilBeam& beam, const Phantom& phantom, const TissueModel& tissue,
                      const DepthImportance& importance, RandomStream& random, Scorer& scorer,
                      std::uint64_t history);
// The depth importance for photons of attenuation mu (1/cm): slabs in which
// the importance doubles, exp(factor x mu x thickness) = 2, down to the
// depth where factor x mu x z = span, at most 40 cm; none (analog
// transport) when factor x mu is not positive.
DepthImportance DepthImportanceFor(double mu, double factor, double span);

// The same for a photon entering anywhere on the entrance face.
void TransportHistory(const SourcePhoton& source, const Phantom& phantom, const TissueModel& tissue,
                      const DepthImportance& importance, RandomStream& random, Scorer& scorer,
                      std::uint64_t history);

} // namespace veltrim::mc
