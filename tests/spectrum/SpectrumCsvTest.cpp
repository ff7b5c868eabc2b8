#include "spectrum/SpectrumCsv.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

TEST(SpectrumCsv, HeaderThenBins1To300ThatReadBackToTheSameDoubles) {
    veltrim::EnergyTable spectrum{};
    spectrum[0] = 0.5; // bin 0 holds no energy and is not written
    spectrum[1] = 1.0 / 3.0;
    spectrum[118] = 0.0123456789012345678;
    spectrum[300] = 5e-300;
    std::istringstream in(veltrim::SpectrumCsvBytes(spectrum));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_EQ(lines[0], "bin,energy_keV,fraction");
    EXPECT_EQ(lines[1].rfind("1,0.5,", 0), 0u);
    EXPECT_EQ(lines[300].rfind("300,150,", 0), 0u);
    EXPECT_EQ(lines[2], "2,1,0");
    for (const int bin : {1, 118, 300}) {
        const std::string& line = lines[static_cast<std::size_t>(bin)];
        EXPECT_EQ(std::strtod(line.c_str() + line.rfind(',') + 1, nullptr),
                  spectrum[static_cast<std::size_t>(bin)])
            << line;
    }
}

} // namespace
