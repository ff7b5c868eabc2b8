// A phantom of finite thickness: the thick phantom's kernels times the ratio
// of each row's place counted from the exit face, nothing below the slab,
// and the thicknesses a calculation takes.

#include "dose/SlabKernels.h"

#include "dose/SyntheticData.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

namespace synthetic = veltrim::testing;

TEST(SlabKernels, EachRowTakesTheRatioOfItsPlaceFromTheExitFace) {
    const auto thick = synthetic::SyntheticKernels();
    // Ratio j of ring c, distinct everywhere, and 1 beyond the 20th row from the exit.
    const auto ratio = synthetic::SyntheticKernels(
        [](int e, int j, int c) { return j > 20 ? 1.0 : 0.5 + 0.001 * j + 1e-5 * c + 1e-4 * e; });
    veltrim::KernelSetSource thickSource(*thick);
    veltrim::SlabKernelSource slab(thickSource, *ratio, 12.5); // 25 layers
    const veltrim::ScatterKernelTable& k = slab.Kernel(40);
    const veltrim::ScatterKernelTable& t = thick->Kernel(40);
    const veltrim::ScatterKernelTable& r = ratio->Kernel(40);
    for (const int c : {1, 17, 80}) {
        EXPECT_EQ(k[c][25], t[c][25] * r[c][1]) << "the last layer, ring " << c;
        EXPECT_EQ(k[c][6], t[c][6] * r[c][20]);
        EXPECT_EQ(k[c][5], t[c][5]) << "21 layers from the exit: the set's 1";
        EXPECT_EQ(k[c][26], 0.0) << "below the slab";
        EXPECT_EQ(k[c][80], 0.0);
    }
    // 60 cm, the thick phantom itself: every row lies beyond the set.
    veltrim::SlabKernelSource whole(thickSource, *ratio, 60);
    EXPECT_EQ(whole.Kernel(150), thick->Kernel(150));
}

TEST(SlabKernels, ThicknessesAreWholeLayersFromTenToSixtyCentimetres) {
    for (const double cm : {10.0, 20.5, 30.0, 60.0})
        EXPECT_FALSE(veltrim::ThicknessProblem(cm)) << cm;
    for (const double cm : {9.5, 60.5, 20.3, 0.0, -20.0, std::nan(""), HUGE_VAL})
        EXPECT_TRUE(veltrim::ThicknessProblem(cm)) << cm;
    const auto problem = veltrim::ThicknessProblem(20.3);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->In(veltrim::Language::English),
              "The phantom thickness 20.3 cm cannot be calculated: give a thickness from 10 to 60 "
              "cm in whole 0.5-cm layers.");
    EXPECT_NE(problem->In(veltrim::Language::Japanese).find("20.3 cm"), std::string::npos);
}

} // namespace
