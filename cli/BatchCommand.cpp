#include "cli/BatchCommand.h"

#include "cli/BatchEngine.h"
#include "cli/BatchFile.h"
#include "cli/BatchOutput.h"
#include "cli/StandardOutput.h"
#include "core/DataFile.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace veltrim {
namespace {

int DefaultJobs() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// Standard output could not take a row: the batch stops; main tells why.
struct OutputLost {};

// The output of the batch, a row at a time, each written whole under one
// lock, so that a signal finds only complete rows to flush. Once the output
// is closed no row is added to it. Standard error is written outside the
// lock: a reader that stopped taking it must not hold up the closing.
class BatchPrinter {
  public:
    BatchPrinter(const CalcOptions& options)
        : writer_(options.Precise ? BatchDigits::Precise : BatchDigits::Rounded, options.BatchJson),
          counting_(isatty(STDERR_FILENO) == 1) {}

    void Row(const BatchResult& result) {
        std::size_t written = 0;
        {
            // The writer counts its rows for End: formed under the lock too.
            const std::lock_guard<std::mutex> lock(lock_);
            if (ended_)
                return;
            failed_ = failed_ || result.Error.has_value();
            if (!WriteOut(writer_.Row(result)))
                throw OutputLost{};
            written = ++written_;
        }
        // A CSV keeps its columns: the warnings of its rows go to standard error.
        if (result.Warning)
            std::fprintf(stderr, "veltrim-calc: warning: row %d: %s\n", result.Row,
                         result.Warning->c_str());
        // The count goes to a terminal only: a log or a pipe gets no carriage returns.
        if (counting_)
            std::fprintf(stderr, "\r%zu rows written", written);
    }

    // Closes the output (a JSON list, a CSV without rows its header) once;
    // false when it could not be written.
    bool End() {
        {
            const std::lock_guard<std::mutex> lock(lock_);
            if (ended_)
                return closed_;
            ended_ = true;
            closed_ = WriteOut(writer_.End()) && FlushOut();
        }
        return closed_;
    }

    // Whether the terminal's count is on the line, and ends that line.
    bool Counting() { return counting_ && Written() > 0; }
    void EndCount() {
        if (Counting())
            std::fprintf(stderr, "\n");
    }

    bool AnyFailed() const { return failed_; }
    // The rows in the output; after End, those it closed with.
    std::size_t Written() {
        const std::lock_guard<std::mutex> lock(lock_);
        return written_;
    }

  private:
    BatchWriter writer_;
    bool counting_;
    std::mutex lock_;
    std::size_t written_ = 0;
    bool failed_ = false;
    bool ended_ = false;
    bool closed_ = true;
};

// Tells on standard error that a signal stopped the batch, unless standard
// error does not take it within a moment (a reader that stopped reading):
// the output is already whole and the exit must not wait on that reader.
// One write of less than PIPE_BUF bytes, so that a pipe takes it whole or
// not at all.
void TellStopped(int signal, std::size_t rows, bool afterCount) {
    char text[160];
    const int length = std::snprintf(text, sizeof text,
                                     "%sveltrim-calc: stopped by a signal (%s): %zu rows written\n",
                                     afterCount ? "\n" : "", strsignal(signal), rows);
    pollfd err{STDERR_FILENO, POLLOUT, 0};
    if (length > 0 && ::poll(&err, 1, 1000) == 1 && (err.revents & POLLOUT) != 0) {
        (void)!::write(STDERR_FILENO, text, static_cast<std::size_t>(length));
    }
}

// Whether the batch was started with the signal ignored: nohup's hang-up,
// or the interrupt of a job a script put in the background.
bool StartedIgnoring(int signal) {
    struct sigaction action {};
    return sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

// The signals that end a batch early, but for those it was started
// ignoring, which stay ignored. While the batch runs every thread blocks
// them and one thread waits for them: it stops the rows, closes the output
// after the last whole row and exits 128 + the signal. SIGUSR2 tells it
// that the batch is over.
class StopOnSignals {
  public:
    explicit StopOnSignals(BatchPrinter& printer) : printer_(printer) {
        sigemptyset(&signals_);
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            if (!StartedIgnoring(s))
                sigaddset(&signals_, s);
        sigaddset(&signals_, SIGUSR2);
        pthread_sigmask(SIG_BLOCK, &signals_, &before_);
        watcher_ = std::thread([this] { Watch(); });
    }
    ~StopOnSignals() {
        pthread_kill(watcher_.native_handle(), SIGUSR2);
        watcher_.join();
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    const std::atomic<bool>& Stop() const { return stop_; }

  private:
    void Watch() {
        int signal = 0;
        while (sigwait(&signals_, &signal) != 0) {
        }
        if (signal == SIGUSR2)
            return;
        stop_ = true;
        printer_.End();
        TellStopped(signal, printer_.Written(), printer_.Counting());
        _exit(128 + signal);
    }

    BatchPrinter& printer_;
    sigset_t signals_{}, before_{};
    std::atomic<bool> stop_{false};
    std::thread watcher_;
};

} // namespace

int RunBatchCommand(const CalcOptions& options, const std::filesystem::path& dataFolder) {
    const auto refused = [&](const BatchInputError& e) {
        std::cerr << "veltrim-calc: " << options.BatchFile->string() << ": " << e.what() << '\n';
        return 2;
    };
    std::unique_ptr<BatchFile> file;
    BatchRowReader reader(options.Strict);
    std::optional<BatchRow> first;
    std::string line;
    try {
        file = std::make_unique<BatchFile>(*options.BatchFile);
        while (!first && file->NextLine(line))
            first = reader.Read(line);
        if (!first)
            first = reader.Finish();
        if (!reader.HasHeader())
            throw BatchInputError("the file has no header line");
    } catch (const BatchInputError& e) {
        return refused(e);
    }

    BatchData data;
    try {
        data = ReadBatchData(dataFolder, reader.NeedsAir(), reader.NeedsSurfaceKernels());
        data.Scatter = options.Model;
        data.PhantomMedium = options.PhantomMedium;
        data.ThicknessCm = options.ThicknessCm;
        data.MatchCopper = options.MatchCopper;
    } catch (const DataFileError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }

    // The next row of the file, the first one already read.
    const auto next = [&]() -> std::optional<BatchRow> {
        if (first)
            return std::exchange(first, std::nullopt);
        while (file->NextLine(line))
            if (std::optional<BatchRow> row = reader.Read(line))
                return row;
        return reader.Finish();
    };
    BatchPrinter printer(options);
    try {
        const StopOnSignals signals(printer);
        StreamBatch(
            data, next, options.Jobs.value_or(DefaultJobs()),
            [&](const BatchResult& r) { printer.Row(r); }, signals.Stop());
    } catch (const OutputLost&) {
        return 1;
    } catch (const BatchInputError& e) {
        printer.End();
        return refused(e);
    } catch (const std::exception& e) {
        printer.End();
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }
    const bool closed = printer.End();
    printer.EndCount();
    if (!closed)
        return 1;
    return printer.AnyFailed() ? 1 : 0;
}

} // namespace veltrim
