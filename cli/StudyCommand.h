#pragma once

// veltrim-calc --study FILE.json: the dose of every exposure of a study at
// its points, with the ranges and the totals (files/StudyTable.h).

#include "cli/CalcOptions.h"
#include "engine/ModelData.h"

namespace veltrim {

// Refuses, for the user (std::invalid_argument), what cannot go beside
// --study: a batch, and the options of one typed beam.
void CheckStudyOptions(const CalcOptions& options, bool conditionGiven);

// Prints the study's table (and writes --export-csv); the exit status.
int RunStudyCommand(const CalcOptions& options, const ModelData& data);

} // namespace veltrim
