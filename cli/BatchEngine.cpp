#include "cli/BatchEngine.h"

#include "calculation/CalculateBeam.h"
#include "cli/DoseInput.h"
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

// The texts of a row, with the added filter that gives its measured HVL1
// in place of the typed one, written as veltrim-calc --hvl1 writes it so
// that the row reads it as a single run does.
ConditionTexts RowTexts(const BatchData& data, const BatchRow& row,
                        const IrradiationConditions& typed) {
    ConditionTexts texts = row.Texts;
    if (!row.Hvl1MmAl)
        return texts;
    if (!(*row.Hvl1MmAl > 0.0))
        FailCalculation(MessageId::Hvl1NotPositive, {Arg(*row.Hvl1MmAl)});
    const MatchFilter filter = data.MatchCopper ? MatchFilter::Copper : MatchFilter::Aluminium;
    const Hvl1Match match = MatchBeamHvl1(typed, *row.Hvl1MmAl, filter, 0.0, *data.Model);
    (data.MatchCopper ? texts.CuFilter : texts.AlFilter) = AddedFilterText(match);
    return texts;
}

// The dose in mGy, each figure formed as veltrim-calc --dose forms it.
void TakeDose(BatchResult& result, const BatchRow& row, const AbsoluteDose& dose) {
    const DosePerAirKerma& perKerma = dose.PerKerma;
    BatchDose& mgy = result.Dose.emplace();
    mgy.IncidentAirKermaMgy = dose.IncidentAirKermaMgy;
    mgy.Backscatter = perKerma.Backscatter;
    mgy.EsakMgy = dose.EntranceSurfaceAirKermaMgy();
    mgy.SurfaceMgy = dose.Mgy(perKerma.Surface);
    for (int d = 1; d <= perKerma.Rows; ++d) {
        mgy.Primary[d] = dose.Mgy(perKerma.Primary[d]);
        mgy.Scatter[d] = dose.Mgy(perKerma.Scatter[d]);
        mgy.Total[d] = dose.Mgy(perKerma.Total[d]);
    }
    if (row.DoseAtCm) {
        const double to = row.DoseAtToCm.value_or(*row.DoseAtCm);
        const auto [least, most] = DoseOverDepths(perKerma, *row.DoseAtCm, to);
        result.DoseAt = BatchDoseAt{*row.DoseAtCm, to, dose.Mgy(least), dose.Mgy(most)};
    }
}

// One row's calculation: its table and first half-value layer, or why not,
// in English.
BatchResult Compute(const BatchData& data, const BatchRow& row) {
    BatchResult result;
    result.Row = row.Number;
    result.DoseColumns = row.DoseColumns;
    result.DoseAtColumns = row.DoseAtColumns;
    if (row.Problem) {
        result.Error = *row.Problem;
        return result;
    }
    try {
        if (row.Rectification >= 1 && row.Rectification <= 3)
            result.Conditions.Rectification = static_cast<RectificationMethod>(row.Rectification);
        if (row.Hvl1MmAl) {
            IrradiationConditions typed = result.Conditions;
            ReadConditions(row.Texts, typed);
            ReadConditions(RowTexts(data, row, typed), result.Conditions);
        } else {
            ReadConditions(row.Texts, result.Conditions);
        }
        CalculationOptions options;
        options.Model = row.Model.value_or(data.Scatter);
        options.Quality = true;
        options.Given = row.Given;
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
        if (beam.Absolute)
            TakeDose(result, row, *beam.Absolute);
    } catch (const BeamError& e) {
        // A depth-dose failure is told by its cause alone, on one line.
        result.Error = e.Stage() == BeamStage::DepthDose
                           ? e.Cause().In(Language::English)
                           : OneLine(BeamErrorText(e, Language::English));
    } catch (const CalculationError& e) {
        result.Error = e.what(); // an HVL1 out of reach, a depth outside the phantom
    } catch (const std::exception& e) {
        result.Error = Message(MessageId::CauseUnexpected, {Arg(e.what())}).In(Language::English);
    }
    return result;
}

} // namespace

BatchData ReadBatchData(const std::filesystem::path& dataFolder,
                        const std::vector<BatchRow>& rows) {
    BatchData data;
    data.Model = ModelData::Load(dataFolder);
    data.Model->AirKerma();
    data.Model->Tissue();
    data.Model->Kernels();
    for (const BatchRow& row : rows) {
        if (row.Hvl1MmAl)
            data.Model->Air();
        if (row.Given)
            data.Model->SurfaceKernels();
    }
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
