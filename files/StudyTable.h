#pragma once

// The study's results as text: "# name=value" lines (patient, medium,
// model, exposures, the dose record's figures, every default taken), then
// one CSV row per exposure and point and one per point for the total.
// veltrim-calc prints it and --export-csv writes it (every digit).

#include "engine/ComputeStudy.h"

#include <string>

namespace veltrim {

// Numbers with six significant digits, or 17 when `precise`.
std::string StudyTableText(const Study& study, const StudyResult& result, bool precise);

} // namespace veltrim
