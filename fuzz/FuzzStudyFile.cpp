// The study reader over arbitrary bytes: a study or a StudyError, and a
// study it gives reads back from its own writing unchanged.
#include "files/StudyFile.h"
#include "fuzz/ReadBack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parse = [](const std::string& text, const std::string& shown) {
        return veltrim::ParseStudy(text, shown);
    };
    return veltrim::fuzzing::CheckReadsBack<veltrim::StudyError>(data, size, parse,
                                                                 veltrim::StudyFileBytes);
}
