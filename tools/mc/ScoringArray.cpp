#include "tools/mc/ScoringArray.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace veltrim::mc {
namespace {
constexpr std::uint64_t kNoHistory = std::numeric_limits<std::uint64_t>::max();
}

ScoringArray::ScoringArray(std::size_t bins)
    : sum_(bins, 0.0), sumOfSquares_(bins, 0.0), pending_(bins, 0.0),
      lastHistory_(bins, kNoHistory) {}

void ScoringArray::Finish() {
    for (std::size_t bin = 0; bin < sum_.size(); ++bin) {
        sum_[bin] += pending_[bin];
        sumOfSquares_[bin] += pending_[bin] * pending_[bin];
        pending_[bin] = 0.0;
        lastHistory_[bin] = kNoHistory;
    }
}

ScoringArray& ScoringArray::operator+=(const ScoringArray& other) {
    if (other.sum_.size() != sum_.size()) {
        throw std::invalid_argument("ScoringArray: merging arrays of different sizes");
    }
    for (std::size_t bin = 0; bin < sum_.size(); ++bin) {
        sum_[bin] += other.sum_[bin];
        sumOfSquares_[bin] += other.sumOfSquares_[bin];
    }
    return *this;
}

double ScoringArray::Mean(std::size_t bin, std::uint64_t histories) const {
    return histories == 0 ? 0.0 : sum_[bin] / static_cast<double>(histories);
}

// Standard uncertainty of the mean: sqrt((<x^2> - <x>^2) / (N - 1)).
double ScoringArray::Uncertainty(std::size_t bin, std::uint64_t histories) const {
    if (histories < 2) {
        return 0.0;
    }
    const auto n = static_cast<double>(histories);
    const double mean = sum_[bin] / n;
    const double variance = sumOfSquares_[bin] / n - mean * mean;
    return variance > 0.0 ? std::sqrt(variance / (n - 1.0)) : 0.0;
}

} // namespace veltrim::mc
