// The saved-beam reader over arbitrary bytes: a beam or a BeamFileError, and
// a beam it gives reads back from its own writing unchanged.
#include "files/BeamFile.h"
#include "fuzz/ReadBack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return veltrim::fuzzing::CheckReadsBack<veltrim::BeamFileError>(
        data, size, veltrim::ParseBeamFile, veltrim::BeamFileBytes);
}
