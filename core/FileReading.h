#pragma once

#include "core/Messages.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>

namespace veltrim {

// How a whole-file read ended.
enum class ReadStep {
    Done,
    Missing,    // nothing under the name
    Unreadable, // opening, inspecting or reading failed (errno in Error)
    NotRegular, // a folder, a pipe, a device... (Kind says what)
};

struct ReadOutcome {
    ReadStep Step = ReadStep::Done;
    int Error = 0;                             // errno of the failed call
    MessageId Kind = MessageId::FileKindOther; // what is there, for NotRegular
    std::string Bytes;
};

// The whole contents of a regular file. The file is opened without blocking,
// so a named pipe put under the name cannot stall the caller waiting for a
// writer, and anything but a regular file is refused before a byte is read.
// Reading stops as soon as more than maxBytes have come, so a caller that
// bounds the size sees Bytes exceed it without reading an endless file.
ReadOutcome ReadRegularFile(const std::filesystem::path& path,
                            std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

} // namespace veltrim
