#pragma once

#include "calculation/ModelData.h"
#include "cli/BatchInput.h"
#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "dose/FocusKernels.h"

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
    ScatterModel Scatter = ScatterModel::Classic; // of every row
};

// Reads a data folder for a batch: every table a row reads must be there,
// so that a damaged folder stops the batch before its first row. Throws
// DataFileError naming the file.
BatchData ReadBatchData(const std::filesystem::path& dataFolder);

// What one row gave: its table and first half-value layer, or why not.
struct BatchResult {
    int Row = 0;
    std::optional<std::string> Error; // English; nothing below is set when present
    // As the calculation read them: the tube voltage held to 30..150 kV,
    // thicknesses in cm, the field as typed.
    IrradiationConditions Conditions;
    double Hvl1MmAl = 0.0; // air-kerma weighted, no air path
    int DepthRows = 0;
    DepthDoseTable Table{};
};

// Computes every row, `jobs` at a time: each worker takes the next row from
// a shared counter; no file is written. The results come back in row order
// and equal, bit for bit, those of one calculation per row. `progress` (may
// be empty) is called with the number of rows done, one call at a time.
std::vector<BatchResult> RunBatch(const BatchData& data, const std::vector<BatchRow>& rows,
                                  int jobs, const std::function<void(int done)>& progress);

} // namespace veltrim
