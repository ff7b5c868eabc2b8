#include "cli/BatchEngine.h"

#include "calculation/CalculateBeam.h"
#include "core/DataFile.h"
#include "core/Messages.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace veltrim {
namespace {

// A message of several lines on one line of the batch's output.
std::string OneLine(std::string text) {
    for (char& ch : text)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    return text;
}

// One row's calculation: its table and first half-value layer, or why not,
// in English.
BatchResult Compute(const BatchData& data, const BatchRow& row) {
    BatchResult result;
    result.Row = row.Number;
    if (row.Problem) {
        result.Error = *row.Problem;
        return result;
    }
    try {
        if (row.Rectification >= 1 && row.Rectification <= 3)
            result.Conditions.Rectification = static_cast<RectificationMethod>(row.Rectification);
        ReadConditions(row.Texts, result.Conditions);
        CalculationOptions options;
        options.Model = data.Scatter;
        options.Quality = true;
        const BeamResult beam = CalculateBeam(result.Conditions, options, *data.Model);
        if (!beam.Quality) {
            result.Error = Message(MessageId::BeamQualityMissing, {Arg(beam.QualityProblem)})
                               .In(Language::English);
            return result;
        }
        result.Hvl1MmAl = beam.Quality->Hvl1MmAl;
        result.DepthRows = beam.DepthDose->Rows;
        for (int d = 1; d <= result.DepthRows; ++d)
            result.Table[d] = beam.DepthDose->Table[d];
    } catch (const BeamError& e) {
        // A depth-dose failure is told by its cause alone, on one line.
        result.Error = e.Stage() == BeamStage::DepthDose
                           ? e.Cause().In(Language::English)
                           : OneLine(BeamErrorText(e, Language::English));
    } catch (const std::exception& e) {
        result.Error = Message(MessageId::CauseUnexpected, {Arg(e.what())}).In(Language::English);
    }
    return result;
}

} // namespace

BatchData ReadBatchData(const std::filesystem::path& dataFolder) {
    BatchData data;
    data.Model = ModelData::Load(dataFolder);
    data.Model->AirKerma();
    data.Model->Tissue();
    data.Model->Kernels();
    return data;
}

std::vector<BatchResult> RunBatch(const BatchData& data, const std::vector<BatchRow>& rows,
                                  int jobs, const std::function<void(int done)>& progress) {
    std::vector<BatchResult> results(rows.size());
    const std::size_t workers =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), rows.size());
    std::atomic<std::size_t> next{0};
    std::mutex progressLock;
    int done = 0;
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < rows.size();) {
            results[i] = Compute(data, rows[i]);
            const std::lock_guard<std::mutex> lock(progressLock);
            ++done;
            if (progress)
                progress(done);
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(work);
    if (workers > 0)
        work();
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

} // namespace veltrim
