#include "dose/KernelTail.h"

#include <cmath>
#include <cstddef>

namespace veltrim {

void ExtendedKernel::Take(const ScatterKernelTable& table) {
    table_ = &table;
    // Rings 61-70 and 71-80 of every row: the last 10 cm the kernels hold,
    // where the scatter is already a few per cent of the near rings' and
    // the ratio of two sums of 10 rings over 80 rows is not dominated by
    // the statistics of single cells.
    double nearer = 0.0;
    double farther = 0.0;
    for (int d = 1; d < DepthRowCapacity; ++d)
        for (int r = 61; r <= 70; ++r) {
            nearer = nearer + table[r][d];
            farther = farther + table[r + 10][d];
        }
    rate_ = nearer > 0 && farther > 0 ? std::pow(farther / nearer, 0.1) : 0.0;
    if (!(rate_ < 1.0))
        rate_ = 0.0; // no fall-off: no tail rather than one that never ends
    power_[0] = 1.0;
    static_assert(RingCapacity == 81, "the tail continues rings 71-80");
    for (std::size_t k = 1; k < power_.size(); ++k)
        power_[k] = power_[k - 1] * rate_;
    std::array<double, RingCapacity> row{};
    for (int d = 1; d < DepthRowCapacity; ++d) {
        for (int r = 71; r <= 80; ++r)
            row[r] = table[r][d];
        amplitude_[d] = TailAmplitude(row, rate_);
    }
}

double TailAmplitude(const std::array<double, RingCapacity>& rings, double rate) {
    if (!(rate > 0))
        return 0.0;
    // The line's rings 71-80 are rate^(r - 80) times its ring 80.
    double line = 0.0;
    double held = 0.0;
    for (int r = 71; r <= 80; ++r) {
        line = line + std::pow(rate, r - 80);
        held = held + rings[r];
    }
    return held > 0 ? held / line : 0.0;
}

} // namespace veltrim
