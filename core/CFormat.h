#pragma once

#include <string>

namespace veltrim {

// printf formatting in the "C" locale whatever the process locale is, so
// that the data files are written byte for byte the same everywhere.
// Never throws for the length of the text: a message may name any number.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The shortest text that reads back to the same double ("0.1", "1e-07"),
// for files other programs read.
std::string ShortestText(double value);

} // namespace veltrim
