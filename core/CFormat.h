#pragma once

#include <string>

namespace veltrim {

// printf formatting in the "C" locale whatever the process locale is, so
// that the data files are written byte for byte the same everywhere.
// Throws std::length_error when the text would exceed 255 characters.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace veltrim
