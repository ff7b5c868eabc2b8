#pragma once

#include "cli/BatchInput.h"
#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "dose/FocusKernels.h"
#include "dose/PreloadedData.h"
#include "spectrum/AttenuationTables.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrim {

// What every row of a batch reads, read once for all of them: the
// attenuation tables, the air-kerma table of the half-value layer, and the
// tissue tables and kernels held in memory.
struct BatchData {
    std::filesystem::path Folder;
    AttenuationTables Attenuation;
    EnergyTable AirKerma{};
    std::shared_ptr<const PreloadedData> Preloaded;
    ScatterModel Model = ScatterModel::Classic; // of every row
};

// Reads them from a data folder; throws DataFileError naming the file.
BatchData ReadBatchData(const std::filesystem::path& dataFolder);

// What one row gave: its table and first half-value layer, or why not.
struct BatchResult {
    int Row = 0;
    std::optional<std::string> Error; // English; nothing below is set when present
    // As the calculation read them: the tube voltage held to 30..150 kV,
    // thicknesses in cm, the field as typed (not yet halved).
    IrradiationConditions Conditions;
    double Hvl1MmAl = 0.0; // air-kerma weighted, no air path
    int DepthRows = 0;
    DepthDoseTable Table{};
};

// Computes every row, `jobs` at a time: each worker has its own state,
// message sink and private working folder under the system's temporary
// folder (removed when it is done), and takes the next row from a shared
// counter. The results come back in row order and equal, bit for bit, those
// of one calculation per row. `progress` (may be empty) is called with the
// number of rows done, one call at a time. Throws std::runtime_error when a
// working folder cannot be made.
std::vector<BatchResult> RunBatch(const BatchData& data, const std::vector<BatchRow>& rows,
                                  int jobs, const std::function<void(int done)>& progress);

} // namespace veltrim
