#pragma once

#include "cli/BatchInput.h"
#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "dose/FocusKernels.h"
#include "engine/ModelData.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrim {

// What every row of a batch reads, read once and shared by all workers.
struct BatchData {
    std::shared_ptr<const ModelData> Model;
    ScatterModel Scatter = ScatterModel::Classic;     // of a row without its own
    Medium PhantomMedium = Medium::IcruFourComponent; // of a row without its own
    std::optional<double> ThicknessCm;                // of a row without its own
    bool MatchCopper = false;                         // the filter an hvl1 cell finds
};

// Reads a data folder for a batch: every table a row may read must be
// there, so that a damaged folder stops the batch before its first row (the
// air tables when the header names hvl1, the surface kernels when it names
// an exposure). Throws DataFileError naming the file.
BatchData ReadBatchData(const std::filesystem::path& dataFolder, bool air = false,
                        bool surfaceKernels = false);

// The dose of a row with an exposure, mGy (the backscatter factor a ratio).
struct BatchDose {
    double IncidentAirKermaMgy = 0.0;
    double Backscatter = 0.0;
    double EsakMgy = 0.0;
    double SurfaceMgy = 0.0;
    DepthProfile Primary{}, Scatter{}, Total{}; // rows 1..DepthRows
};

// The least and the most total dose over dose_at..dose_at_to (both
// dose_at for a single depth), cm and mGy.
struct BatchDoseAt {
    double FromCm = 0.0, ToCm = 0.0;
    double LeastMgy = 0.0, MostMgy = 0.0;
};

// The dose at the row's point: per cent of the axis's first layer, and the
// total in mGy with an exposure (not a number without).
struct BatchPoint {
    double X = 0.0, Y = 0.0, Z = 0.0; // cm
    double Primary = 0.0, Scatter = 0.0, Total = 0.0;
    double TotalMgy = 0.0;
};

// What one row gave: its table and first half-value layer, or why not.
struct BatchResult {
    int Row = 0;
    std::optional<std::string> Error;   // English; nothing below is set when present
    std::optional<std::string> Warning; // the row's, as BatchRow has it
    // As the calculation read them: the tube voltage held to 30..150 kV,
    // thicknesses in cm, the field as typed.
    IrradiationConditions Conditions;
    double Hvl1MmAl = 0.0; // air-kerma weighted, no air path
    int DepthRows = 0;
    DepthDoseTable Table{};
    std::optional<BatchDose> Dose;
    std::optional<BatchDoseAt> DoseAt;
    std::optional<BatchPoint> Point;
    // As the row's header: whether the output has the dose's columns.
    bool DoseColumns = false;
    bool DoseAtColumns = false;
    bool PointColumns = false;
};

// Computes the rows `next` gives (none at the end), `jobs` at a time, and
// hands each result to `write` in row order as soon as the rows before it
// are written, one call at a time. At most StreamWindow(jobs) rows are
// taken and not yet written, so memory stays bounded whatever the length
// of the batch. Stops taking rows once `stop` is set; rethrows what `next`
// or `write` threw once the workers are done. Gives the number of rows
// written.
std::size_t StreamBatch(const BatchData& data, const std::function<std::optional<BatchRow>()>& next,
                        int jobs, const std::function<void(const BatchResult&)>& write,
                        const std::atomic<bool>& stop);

// Rows in the hands of the workers or waiting for their turn to be written:
// four per worker, so that one slow row does not idle the others.
std::size_t StreamWindow(int jobs);

// Computes every row, `jobs` at a time: each worker takes the next row from
// a shared counter; no file is written. The results come back in row order
// and equal, bit for bit, those of one calculation per row. `progress` (may
// be empty) is called with the number of rows done, one call at a time.
std::vector<BatchResult> RunBatch(const BatchData& data, const std::vector<BatchRow>& rows,
                                  int jobs, const std::function<void(int done)>& progress);

} // namespace veltrim
