// The saved-beam reader over arbitrary bytes: it either gives a beam or
// stops with a BeamFileError, and a beam it gives, written again, reads back
// to the same file's bytes (nothing it accepts is lost or altered on the way).
#include "files/BeamFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    veltrim::SavedBeam beam;
    try {
        beam = veltrim::ParseBeamFile(text, "fuzz.json");
    } catch (const veltrim::BeamFileError&) {
        return 0;
    }
    const std::string written = veltrim::BeamFileBytes(beam);
    try {
        if (veltrim::BeamFileBytes(veltrim::ParseBeamFile(written, "again.json")) != written)
            std::abort();
    } catch (const veltrim::BeamFileError&) {
        std::abort(); // what the writer writes must read
    }
    return 0;
}
