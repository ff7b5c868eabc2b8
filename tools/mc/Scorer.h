#pragma once

#include "tools/mc/Phantom.h"

#include <cstdint>

namespace veltrim::mc {

// What a transported history scores. The transport tells the scorer where
// each photon interacts, what it deposits and what leaves the phantom;
// energies are weight x keV, `history` the history's number, and
// `scattered` whether the photon had been scattered before this point.
class Scorer {
  public:
    virtual ~Scorer() = default;

    // A photon reaches an interaction point, before the kind is sampled.
    virtual void Interaction(const Position& /*p*/, bool /*scattered*/) {}
    virtual void Deposit(const Position& p, double energy, bool scattered,
                         std::uint64_t history) = 0;
    virtual void Escape(double energy, std::uint64_t history) = 0;

  protected:
    Scorer() = default;
    Scorer(const Scorer&) = default;
    Scorer& operator=(const Scorer&) = default;
};

} // namespace veltrim::mc
