#pragma once

#include "cli/CalcOptions.h"

#include <filesystem>

namespace veltrim {

// veltrim-calc --batch: reads the file, computes every row and prints the
// results on standard output as they come, in row order. Gives the exit
// status: 0 when every row computed, 1 when any failed (or the data or the
// output failed), 2 when the file cannot be used; a signal ends the process
// with 128 + the signal after the last whole row.
int RunBatchCommand(const CalcOptions& options, const std::filesystem::path& dataFolder);

} // namespace veltrim
