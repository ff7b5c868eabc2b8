#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <vector>

namespace veltrim::mc {

// Sums of a quantity scored into many bins, with the uncertainty estimated
// history by history: all that one history scores into a bin is added up
// first and enters the sums of x and x^2 as one sample, so correlations
// within a history are respected. A bin's pending history sum is moved into
// the totals lazily, when a later history first scores into the bin, or by
// Finish(). The same bookkeeping as EGSnrc's EGS_ScoringArray.
class ScoringArray {
  public:
    explicit ScoringArray(std::size_t bins);

    std::size_t Size() const { return sum_.size(); }

    // Adds `value` to bin `bin` for history number `history`; histories
    // must arrive in non-decreasing order.
    void Score(std::size_t bin, double value, std::uint64_t history) {
        if (history != lastHistory_[bin]) {
            sum_[bin] += pending_[bin];
            sumOfSquares_[bin] += pending_[bin] * pending_[bin];
            pending_[bin] = value;
            lastHistory_[bin] = history;
        } else {
            pending_[bin] += value;
        }
    }

    // Moves every pending history sum into the totals.
    void Finish();

    // Adds the totals of another array that covers other histories; both
    // must be finished. Used to merge batches in a fixed order.
    ScoringArray& operator+=(const ScoringArray& other);

    // Mean per history over `histories` histories, and the standard
    // uncertainty of that mean.
    double Mean(std::size_t bin, std::uint64_t histories) const;
    double Uncertainty(std::size_t bin, std::uint64_t histories) const;

  private:
    std::vector<double> sum_;
    std::vector<double> sumOfSquares_;
    std::vector<double> pending_;
    std::vector<std::uint64_t> lastHistory_;
};

// A tally of scoring arrays and the count of histories they hold. Finishing
// a batch and merging batches go over the arrays that Tally::Arrays() names
// once (pointers to its members: scoring arrays, or sets of them), so that
// neither can leave one out.
template <typename Tally> class ArrayTally {
  public:
    std::uint64_t Histories() const { return histories_; }

    // Closes the last history of a batch of `histories` histories.
    void Finish(std::uint64_t histories) {
        histories_ += histories;
        Tally& self = static_cast<Tally&>(*this);
        std::apply([&](auto... arrays) { ((self.*arrays).Finish(), ...); }, Tally::Arrays());
    }

    Tally& operator+=(const Tally& other) {
        histories_ += static_cast<const ArrayTally&>(other).histories_;
        Tally& self = static_cast<Tally&>(*this);
        std::apply([&](auto... arrays) { ((self.*arrays += other.*arrays), ...); },
                   Tally::Arrays());
        return self;
    }

  private:
    std::uint64_t histories_ = 0;
};

} // namespace veltrim::mc
