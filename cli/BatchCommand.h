#pragma once

#include "cli/CalcOptions.h"

#include <filesystem>

namespace veltrim {

// veltrim-calc --batch: reads the file, computes every row and prints the
// results on standard output. Gives the exit status: 0 when every row
// computed, 1 when any failed (or the data or the output failed), 2 when the
// file cannot be used.
int RunBatchCommand(const CalcOptions& options, const std::filesystem::path& dataFolder);

} // namespace veltrim
