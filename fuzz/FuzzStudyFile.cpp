// The study reader over arbitrary bytes: it either gives a study or stops
// with a StudyError, and a study it gives, written again, reads back to the
// same bytes (nothing it accepts is lost or altered on the way).
#include "files/StudyFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    veltrim::Study study;
    try {
        study = veltrim::ParseStudy(text, "fuzz.json");
    } catch (const veltrim::StudyError&) {
        return 0;
    }
    const std::string written = veltrim::StudyFileBytes(study);
    try {
        if (veltrim::StudyFileBytes(veltrim::ParseStudy(written, "again.json")) != written)
            std::abort();
    } catch (const veltrim::StudyError&) {
        std::abort(); // what the writer writes must read
    }
    return 0;
}
