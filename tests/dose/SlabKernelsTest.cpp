// A phantom of finite thickness: the thick phantom's kernels times the ratio
// of each row's place counted from the exit face, nothing below the slab,
// and the thicknesses a calculation takes.

#include "dose/SlabKernels.h"

#include "dose/SyntheticData.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

namespace synthetic = veltrim::testing;

// Ratio j of ring c for the slab of `slab` cm: distinct everywhere, and 1
// beyond the slab's own rows, as the computed sets hold them.
veltrim::ExitRatioSets SyntheticRatios() {
    veltrim::ExitRatioSets sets;
    for (std::size_t k = 0; k < sets.size(); ++k) {
        const double slab = veltrim::ExitRatioSlabs[k];
        sets[k] = synthetic::SyntheticKernels([slab](int e, int j, int c) {
            return j > 2 * slab ? 1.0 : 0.5 + 0.001 * j + 1e-5 * c + 1e-4 * e + 0.003 * slab;
        });
    }
    return sets;
}

TEST(SlabKernels, EachRowTakesTheRatioOfItsPlaceFromTheExitFace) {
    const auto thick = synthetic::SyntheticKernels();
    const veltrim::ExitRatioSets ratios = SyntheticRatios();
    veltrim::KernelSetSource thickSource(*thick);
    const veltrim::ScatterKernelTable& t = thick->Kernel(40);
    {
        veltrim::SlabKernelSource slab(thickSource, ratios, 10); // a computed slab, 20 layers
        const veltrim::ScatterKernelTable& k = slab.Kernel(40);
        const veltrim::ScatterKernelTable& r = ratios[0]->Kernel(40);
        for (const int c : {1, 17, 80}) {
            EXPECT_EQ(k[c][20], t[c][20] * r[c][1]) << "the last layer, ring " << c;
            EXPECT_EQ(k[c][1], t[c][1] * r[c][20]);
            EXPECT_EQ(k[c][21], 0.0) << "below the slab";
            EXPECT_EQ(k[c][80], 0.0);
        }
    }
    {
        // 12.5 cm, 25 layers: between the 10- and 20-cm slabs, linear in 1/T.
        veltrim::SlabKernelSource slab(thickSource, ratios, 12.5);
        const veltrim::ScatterKernelTable& k = slab.Kernel(40);
        const double w = (1 / 12.5 - 1 / 20.0) / (1 / 10.0 - 1 / 20.0);
        const double ratio =
            w * ratios[0]->Kernel(40)[17][1] + (1 - w) * ratios[1]->Kernel(40)[17][1];
        EXPECT_EQ(k[17][25], t[17][25] * ratio);
        // 21 layers from the exit, beyond the 10-cm slab: the 20-cm slab's ratio alone.
        EXPECT_EQ(slab.Kernel(40)[17][5], t[17][5] * ratios[1]->Kernel(40)[17][21]);
    }
    // Beyond the thickest slab its own ratios; at 60 cm, the thick phantom
    // itself, every row of a table lies beyond the sets.
    veltrim::SlabKernelSource beyond(thickSource, ratios, 45);
    EXPECT_EQ(beyond.Kernel(40)[3][80], t[3][80] * ratios[2]->Kernel(40)[3][11]); // 90 layers
    veltrim::SlabKernelSource whole(thickSource, ratios, 60);
    const veltrim::ScatterKernelTable& w = whole.Kernel(150);
    for (int c = 1; c <= 80; ++c)
        for (int a = 1; a <= 60; ++a) // the rows a table takes, to 30 cm
            ASSERT_EQ(w[c][a], thick->Kernel(150)[c][a]) << c << ", " << a;
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
