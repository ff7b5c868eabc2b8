#include "cli/BatchEngine.h"

#include "cli/DoseInput.h"
#include "core/DataFile.h"
#include "core/Inputs.h"
#include "core/Messages.h"
#include "engine/BeamPoints.h"
#include "engine/CalculateBeam.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <map>
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
    if (!inputs::MeasuredHvl1.Allows(*row.Hvl1MmAl))
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
    result.Warning = row.Warning;
    result.DoseColumns = row.DoseColumns;
    result.DoseAtColumns = row.DoseAtColumns;
    result.PointColumns = row.PointColumns;
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
        options.PhantomMedium = row.PhantomMedium.value_or(data.PhantomMedium);
        options.ThicknessCm = row.ThicknessCm ? row.ThicknessCm : data.ThicknessCm;
        options.Quality = true;
        options.Given = row.Given;
        if (row.PointZ)
            options.Points.push_back(
                {row.PointX.value_or(0.0), row.PointY.value_or(0.0), *row.PointZ});
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
        if (!beam.Points.empty()) {
            const PointDose& p = beam.Points[0];
            const double total = p.Primary + p.Scatter;
            result.Point = BatchPoint{options.Points[0].X,
                                      options.Points[0].Y,
                                      options.Points[0].Z,
                                      PointPercent(beam, p.Primary),
                                      PointPercent(beam, p.Scatter),
                                      PointPercent(beam, total),
                                      PointMgy(beam, total).value_or(std::nan(""))};
        }
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

BatchData ReadBatchData(const std::filesystem::path& dataFolder, bool air, bool surfaceKernels) {
    BatchData data;
    data.Model = ModelData::Load(dataFolder);
    data.Model->AirKerma();
    data.Model->Tissue();
    data.Model->Kernels();
    if (air)
        data.Model->Air();
    if (surfaceKernels)
        data.Model->SurfaceKernels();
    return data;
}

std::size_t StreamWindow(int jobs) {
    return 4 * static_cast<std::size_t>(std::max(jobs, 1));
}

std::size_t StreamBatch(const BatchData& data, const std::function<std::optional<BatchRow>()>& next,
                        int jobs, const std::function<void(const BatchResult&)>& write,
                        const std::atomic<bool>& stop) {
    const std::size_t window = StreamWindow(jobs);
    // Taking a row (reading the file) and writing results are each one at a
    // time; a row is taken only when the window has room. The order of the
    // locks is `taking` then `results`.
    std::mutex taking, results;
    std::condition_variable room;
    std::size_t taken = 0, written = 0;
    bool ended = false, failed = false;
    // A failure of the file is told once the rows before it are out; one
    // of writing ends the output at once and is told in its place.
    std::exception_ptr problem, unread;
    std::map<std::size_t, BatchResult> finished;

    const auto fail = [&](std::exception_ptr e) {
        const std::lock_guard<std::mutex> lock(results);
        if (!problem)
            problem = std::move(e);
        failed = true;
        room.notify_all();
    };
    const auto take = [&]() -> std::optional<std::pair<std::size_t, BatchRow>> {
        const std::lock_guard<std::mutex> lock(taking);
        {
            std::unique_lock<std::mutex> wait(results);
            room.wait(wait, [&] { return failed || stop || taken < written + window; });
            if (failed || stop || ended)
                return std::nullopt;
        }
        std::optional<BatchRow> row;
        try {
            row = next();
        } catch (...) {
            // The file could not be read on: the rows taken before were read
            // whole and are still computed and written; the error comes after.
            ended = true;
            unread = std::current_exception();
            return std::nullopt;
        }
        if (!row) {
            ended = true;
            return std::nullopt;
        }
        return std::pair{taken++, std::move(*row)};
    };
    const auto work = [&] {
        try {
            while (auto row = take()) {
                BatchResult result = Compute(data, row->second);
                const std::lock_guard<std::mutex> lock(results);
                finished.emplace(row->first, std::move(result));
                // Whoever completes the row next in order writes it and
                // those behind it that are waiting.
                for (auto it = finished.find(written); it != finished.end() && !failed;
                     it = finished.find(written)) {
                    write(it->second);
                    finished.erase(it);
                    ++written;
                }
                room.notify_all();
            }
        } catch (...) {
            fail(std::current_exception());
        }
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < std::max(jobs, 1); ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    if (problem)
        std::rethrow_exception(problem);
    if (unread)
        std::rethrow_exception(unread);
    return written;
}

std::vector<BatchResult> RunBatch(const BatchData& data, const std::vector<BatchRow>& rows,
                                  int jobs, const std::function<void(int done)>& progress) {
    std::vector<BatchResult> results;
    results.reserve(rows.size());
    std::size_t next = 0;
    const std::atomic<bool> never{false};
    StreamBatch(
        data,
        [&]() -> std::optional<BatchRow> {
            if (next == rows.size())
                return std::nullopt;
            return rows[next++];
        },
        std::min<int>(std::max(jobs, 1), static_cast<int>(std::max<std::size_t>(rows.size(), 1))),
        [&](const BatchResult& r) {
            results.push_back(r);
            if (progress)
                progress(static_cast<int>(results.size()));
        },
        never);
    return results;
}

} // namespace veltrim
