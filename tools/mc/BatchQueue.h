#pragma once

#include "tools/mc/Random.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace veltrim::mc {

// Hands out batch numbers with their random streams in order, collects the
// finished batches, and lets the merging thread wait for the next one.
template <class Tally> class BatchQueue {
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

    void Deliver(std::uint64_t batch, std::unique_ptr<Tally> tally) {
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
    std::unique_ptr<Tally> WaitFor(std::uint64_t batch) {
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
    std::map<std::uint64_t, std::unique_ptr<Tally>> done_;
};

// Runs batches 0, 1, ... as runBatch(batch, stream) -> std::unique_ptr<Tally>
// on `threads` threads (at least one) and adds them to `total` strictly in
// batch order, so that neither the thread count nor their timing changes a
// bit of the result. After each merge, enough(total, batchesMerged) may end
// the run; batches started beyond that point finish and are discarded.
template <class Tally, class RunBatch, class Enough>
void RunInBatches(const RandomStream& start, std::uint64_t maxBatches, unsigned threads,
                  const RunBatch& runBatch, const Enough& enough, Tally& total) {
    BatchQueue<Tally> queue(start, maxBatches);
    const auto work = [&] {
        try {
            std::uint64_t batch = 0;
            RandomStream stream(0);
            while (queue.Take(batch, stream)) {
                queue.Deliver(batch, runBatch(batch, stream));
            }
        } catch (...) {
            queue.Fail(std::current_exception());
        }
    };
    std::vector<std::jthread> workers;
    for (unsigned t = 0; t < std::max(1u, threads); ++t) {
        workers.emplace_back(work);
    }
    try {
        for (std::uint64_t batch = 0; batch < maxBatches; ++batch) {
            total += *queue.WaitFor(batch);
            if (enough(total, batch + 1)) {
                break;
            }
        }
    } catch (...) {
        queue.Stop(0);
        throw;
    }
    queue.Stop(0);
}

} // namespace veltrim::mc
