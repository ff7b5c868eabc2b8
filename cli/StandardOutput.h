#pragma once

// Standard output as the results leave by it: every write is checked, so
// that results that never arrived (a full disk, a closed output, a reader
// gone) are a failure told on standard error, never a silent success.

#include <string_view>

namespace veltrim {

// Keeps the descriptor of a closed standard output taken (by one that
// refuses writes), so that a data or results file opened later cannot take
// its number and receive the printed results.
void HoldStandardOutput();

// Writes the bytes to standard output; false when they could not all be
// written, the cause kept for FinishStandardOutput.
bool WriteOut(std::string_view bytes);

// Flushes what is buffered; false when that or any earlier write failed.
bool FlushOut();

// Flushes and closes standard output. When any write failed, says so on
// standard error with the cause and gives `status`, or 1 when that was 0.
int FinishStandardOutput(int status);

} // namespace veltrim
