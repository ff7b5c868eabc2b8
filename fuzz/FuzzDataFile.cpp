// The data-file tokenizer over arbitrary bytes: it either gives finite
// numbers or stops with a DataFileError, and never reads past the text.
#include "core/DataFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrim::NumberFile file("fuzz.dat", std::string(reinterpret_cast<const char*>(data), size));
    try {
        for (std::size_t i = 0; i <= size; ++i)
            if (!std::isfinite(file.Next()))
                std::abort();
        std::abort(); // more numbers than bytes
    } catch (const veltrim::DataFileError&) {
    }
    return 0;
}
