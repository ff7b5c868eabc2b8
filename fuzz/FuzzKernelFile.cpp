// A scatter-kernel file of arbitrary bytes either gives its 80 x 80 finite
// numbers, reading none past the 6400th, or fails with a message naming the
// file.
#include "core/DataFile.h"
#include "dose/DepthDose.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrim::NumberFile file("PDS-data/85.dat",
                             std::string(reinterpret_cast<const char*>(data), size));
    auto kernel = std::make_unique<veltrim::ScatterKernelTable>();
    try {
        veltrim::ReadKernelFile(file, *kernel);
        if (file.Count() != 6400)
            std::abort();
        for (int c = 1; c <= 80; ++c)
            for (int a = 1; a <= 80; ++a)
                if (!std::isfinite((*kernel)[c][a]))
                    std::abort();
    } catch (const veltrim::DataFileError& e) {
        if (std::string(e.what()).find("PDS-data/85.dat") == std::string::npos)
            std::abort();
    }
    return 0;
}
