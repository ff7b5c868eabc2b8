#pragma once

// veltrim-calc --read-dose-record FILE: a modality's dose record (or a
// radiograph's header) read into a study, which --save-study writes.

#include <string>
#include <vector>

namespace veltrim {

bool IsDoseRecordCommand(const std::vector<std::string>& args);

// Prints the record's name lines; the exit status.
int RunDoseRecordCommand(const std::vector<std::string>& args);

} // namespace veltrim
