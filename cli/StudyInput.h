#pragma once

// The study of --study: a JSON study file, or a DICOM dose record (or a
// radiograph's header) whose events become its exposures, told apart by
// the file's content. The patient and points of the options replace the
// file's; a dose record has none of its own.

#include "cli/CalcOptions.h"
#include "engine/Study.h"

#include <optional>

namespace veltrim {

// Reads the study and writes --save-study (the study as read, before it is
// computed, so that one the program refuses can still be corrected). None
// when it could not be read or saved, with the reason on standard error
// and `status` the exit status (2 for a missing option).
std::optional<Study> ReadStudyInput(const CalcOptions& options, int& status);

} // namespace veltrim
