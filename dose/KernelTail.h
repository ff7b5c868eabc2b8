#pragma once

// The scatter kernels beyond their 80 rings (40 cm), for points far from
// the centre of a large field. Beyond 30 cm the scatter that reaches the
// point falls off nearly geometrically from ring to ring (attenuation over
// the distance and the spread over it); the rate is fitted once per kernel
// table, pooled over its rows, as the tenth root of the ratio of the sums of
// rings 71-80 and 61-70, and each row continues its own rings 71-80 at that
// rate.
// The tail is checked against direct Monte Carlo (docs/validation.md).

#include "dose/ScatterKernels.h"

#include <array>

namespace veltrim {

// Rings of the sum around a point off the axis: 1..200 (100 cm; index 0
// unused). The first 80 are the kernels' own, the rest their tail.
inline constexpr int PointRingCapacity = 201;
using PointRings = std::array<double, PointRingCapacity>;
// How far from the point of calculation its rings reach, cm.
inline constexpr double PointRingReach = 0.5 * (PointRingCapacity - 1);

// A kernel table with its tail: At(r, d) for rings 1..200 and rows 1..80.
class ExtendedKernel {
  public:
    // The table must outlive the look-ups.
    void Take(const ScatterKernelTable& table);
    double At(int r, int d) const {
        if (r < RingCapacity)
            return (*table_)[r][d];
        return Tail(amplitude_[d], r);
    }
    // Ring r beyond 80 of a line whose ring 80 is `amplitude`, at this table's rate.
    double Tail(double amplitude, int r) const {
        return amplitude * power_[static_cast<std::size_t>(r - (RingCapacity - 1))];
    }
    // The ring-to-ring ratio of the tail (0 when the table has no scatter
    // out there, or none that falls off).
    double Rate() const { return rate_; }

  private:
    const ScatterKernelTable* table_ = nullptr;
    double rate_ = 0.0;
    std::array<double, DepthRowCapacity> amplitude_{}; // each row's ring 80 on the fitted line
    std::array<double, PointRingCapacity - RingCapacity + 1> power_{}; // rate^k, k = 0..120
};

// Ring 80 of the geometric line at `rate` through rings 71-80 of `rings`
// (their sum over the line's): where a tail of that row starts. Zero when
// the rings hold no scatter there or the rate is zero.
double TailAmplitude(const std::array<double, RingCapacity>& rings, double rate);

} // namespace veltrim
