#include "tools/mc/KernelRun.h"

#include "tools/mc/Random.h"
#include "tools/mc/Transport.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace veltrim::mc {

RowStatistics ScatterRowStatistics(const KernelTally& tally, double floor) {
    RowStatistics result;
    const std::uint64_t n = tally.Histories();
    const double first = tally.ScatterRows().Mean(0, n);
    for (std::size_t row = 0; row < CellGrid::kRows; ++row) {
        const double mean = tally.ScatterRows().Mean(row, n);
        if (mean <= floor * first || mean <= 0.0) {
            continue;
        }
        ++result.RowsTested;
        const double relative = tally.ScatterRows().Uncertainty(row, n) / mean;
        if (relative > result.WorstUncertainty) {
            result.WorstUncertainty = relative;
            result.WorstRow = static_cast<int>(row) + 1;
        }
    }
    return result;
}

namespace {

// Hands out batch numbers with their random streams in order, collects the
// finished batches, and lets the merging thread wait for the next one.
class BatchQueue {
  public:
    BatchQueue(RandomStream start, std::uint64_t limit) : next_(start), limit_(limit) {}

    // The next batch to run and its stream, or false when none is left.
    bool Take(std::uint64_t& batch, RandomStream& stream) {
        std::lock_guard lock(mutex_);
        if (taken_ >= limit_ || failed_) {
            return false;
        }
        batch = taken_++;
        stream = next_;
        next_.Jump();
        return true;
    }

    void Deliver(std::uint64_t batch, std::unique_ptr<KernelTally> tally) {
        std::lock_guard lock(mutex_);
        done_[batch] = std::move(tally);
        ready_.notify_all();
    }

    void Fail(std::exception_ptr error) {
        std::lock_guard lock(mutex_);
        if (!error_) {
            error_ = error;
        }
        failed_ = true;
        ready_.notify_all();
    }

    // Waits for batch `batch`; rethrows a worker's failure.
    std::unique_ptr<KernelTally> WaitFor(std::uint64_t batch) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return failed_ || done_.count(batch) != 0; });
        if (failed_) {
            std::rethrow_exception(error_);
        }
        auto tally = std::move(done_[batch]);
        done_.erase(batch);
        return tally;
    }

    // No batch numbered `count` or above is started any more.
    void Stop(std::uint64_t count) {
        std::lock_guard lock(mutex_);
        limit_ = std::min(limit_, count);
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    RandomStream next_;
    std::uint64_t taken_ = 0;
    std::uint64_t limit_;
    bool failed_ = false;
    std::exception_ptr error_;
    std::map<std::uint64_t, std::unique_ptr<KernelTally>> done_;
};

} // namespace

KernelTally RunKernel(const TissueModel& tissue, const RunSettings& settings,
                      const std::function<void(const KernelTally&)>& progress) {
    if (settings.BatchHistories == 0 || settings.MaxBatches == 0) {
        throw std::invalid_argument("RunKernel: no histories to run");
    }
    if (!(settings.Energy > TissueModel::kMinEnergy &&
          settings.Energy <= TissueModel::kMaxEnergy)) {
        throw std::invalid_argument("RunKernel: energy outside the tabulated range");
    }
    RandomStream start(settings.Seed);
    for (unsigned k = 0; k < settings.StreamNumber; ++k) {
        start.LongJump();
    }
    BatchQueue queue(start, settings.MaxBatches);
    const PencilBeam beam{settings.Energy};

    const auto work = [&] {
        try {
            std::uint64_t batch = 0;
            RandomStream stream(0);
            while (queue.Take(batch, stream)) {
                auto tally = std::make_unique<KernelTally>();
                const std::uint64_t first = batch * settings.BatchHistories;
                for (std::uint64_t h = 0; h < settings.BatchHistories; ++h) {
                    TransportHistory(beam, settings.Geometry, tissue, settings.Importance, stream,
                                     *tally, first + h);
                }
                tally->Finish(settings.BatchHistories);
                queue.Deliver(batch, std::move(tally));
            }
        } catch (...) {
            queue.Fail(std::current_exception());
        }
    };
    std::vector<std::jthread> workers;
    for (unsigned t = 0; t < std::max(1u, settings.Threads); ++t) {
        workers.emplace_back(work);
    }

    KernelTally total;
    try {
        for (std::uint64_t batch = 0; batch < settings.MaxBatches; ++batch) {
            total += *queue.WaitFor(batch);
            if (progress) {
                progress(total);
            }
            if (settings.TargetUncertainty > 0.0 && batch + 1 >= settings.MinBatches &&
                ScatterRowStatistics(total, settings.ScatterFloor).WorstUncertainty <
                    settings.TargetUncertainty) {
                break;
            }
        }
    } catch (...) {
        queue.Stop(0);
        throw;
    }
    // Batches started beyond the stopping point finish and are discarded.
    queue.Stop(0);
    return total;
}

} // namespace veltrim::mc
