#include "cli/BatchEngine.h"

#include "calculation/Pipeline.h"
#include "calculation/SharedState.h"
#include "core/MessageSink.h"
#include "core/Messages.h"
#include "spectrum/BeamQuality.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace veltrim {
namespace {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, for the results
// file each calculation writes: never the user's folder, and never one that
// another worker (or another batch) writes in. Removed with its contents.
class WorkingFolder {
  public:
    WorkingFolder() {
        std::string name = (fs::temp_directory_path() / "veltrim-batch-XXXXXX").string();
        if (!mkdtemp(name.data()))
            throw std::runtime_error("no working folder can be made under " +
                                     fs::temp_directory_path().string() + ": " +
                                     std::strerror(errno));
        path_ = name;
    }
    ~WorkingFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

// One worker: a state that keeps the tables between rows and is handed the
// rows one after another.
class Worker {
  public:
    Worker(const BatchData& data, const fs::path& folder) : state_(messages_, data.Folder, folder) {
        state_.Attenuation = data.Attenuation;
        state_.AttenuationLoaded = true;
        state_.Preloaded = data.Preloaded;
        state_.Model = data.Model;
        state_.Edition = Language::English;
        airKerma_ = &data.AirKerma;
    }

    BatchResult Compute(const BatchRow& row) {
        BatchResult result;
        result.Row = row.Number;
        if (row.Problem) {
            result.Error = *row.Problem;
            return result;
        }
        try {
            Calculate(row, result);
        } catch (const std::exception& e) {
            result.Error =
                Message(MessageId::CauseUnexpected, {Arg(e.what())}).In(Language::English);
        }
        return result;
    }

  private:
    void Calculate(const BatchRow& row, BatchResult& result) {
        messages_.Messages.clear();
        state_.SelectRectification(row.Rectification);
        // The conditions the calculation reads, kept before it halves the field.
        result.Conditions.Rectification = state_.Conditions.Rectification;
        veltrim::ReadConditions(row.Texts, result.Conditions);
        switch (RunCalculation(state_, row.Texts, {})) {
        case CalculationResult::Completed:
            break;
        case CalculationResult::DepthDoseFailed:
            result.Error = state_.DepthDoseFailureCause;
            return;
        case CalculationResult::Stopped:
            result.Error = StopCause();
            return;
        }
        const BeamQualityResult quality =
            AssessBeamQuality(state_.Spectrum, state_.Attenuation.MuAluminium, *airKerma_);
        if (!quality.Quality) {
            result.Error = Message(MessageId::BeamQualityMissing, {Arg(quality.Problem)})
                               .In(Language::English);
            return;
        }
        result.Hvl1MmAl = quality.Quality->Hvl1MmAl;
        result.DepthRows = state_.DepthRowCount;
        for (int d = 1; d <= state_.DepthRowCount; ++d)
            result.Table[d] = state_.DepthDoseResult[d];
    }

    // What the state said when it stopped, every message in one line.
    std::string StopCause() const {
        std::string cause;
        for (const std::string& message : messages_.Messages) {
            if (!cause.empty())
                cause += ' ';
            cause += message;
        }
        for (char& ch : cause)
            if (ch == '\n' || ch == '\r')
                ch = ' ';
        return cause.empty() ? "the calculation stopped" : cause;
    }

    RecordingSink messages_;
    SharedState state_;
    const EnergyTable* airKerma_ = nullptr;
};

} // namespace

BatchData ReadBatchData(const fs::path& dataFolder) {
    BatchData data;
    data.Folder = dataFolder;
    data.Attenuation = ReadAttenuationTables(dataFolder);
    data.AirKerma = ReadAttenuationFile(dataFolder / AirKermaFile);
    data.Preloaded = PreloadData(dataFolder);
    return data;
}

std::vector<BatchResult> RunBatch(const BatchData& data, const std::vector<BatchRow>& rows,
                                  int jobs, const std::function<void(int done)>& progress) {
    std::vector<BatchResult> results(rows.size());
    const std::size_t workers =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), rows.size());
    // Every folder is made before the first thread starts, so that a failure
    // leaves no thread running.
    std::vector<std::unique_ptr<WorkingFolder>> folders;
    for (std::size_t w = 0; w < workers; ++w)
        folders.push_back(std::make_unique<WorkingFolder>());

    std::atomic<std::size_t> next{0};
    std::mutex progressLock;
    int done = 0;
    auto work = [&](const fs::path& folder) {
        const auto worker = std::make_unique<Worker>(data, folder); // a state is large
        for (std::size_t i; (i = next.fetch_add(1)) < rows.size();) {
            results[i] = worker->Compute(rows[i]);
            const std::lock_guard<std::mutex> lock(progressLock);
            ++done;
            if (progress)
                progress(done);
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(work, folders[w]->Path());
    if (workers > 0)
        work(folders[0]->Path());
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

} // namespace veltrim
