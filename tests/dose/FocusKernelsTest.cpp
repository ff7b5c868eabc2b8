// Interpolation between kernel sets of a point focus: which sets an FSD
// falls between, the share of each, no extrapolation below the smallest,
// that a tabulated FSD gives its own set to the bit, and which sets a
// medium's folder holds.

#include "dose/FocusKernels.h"

#include "common/TempFolder.h"
#include "dose/SyntheticData.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using veltrim::BracketFsd;
using veltrim::FocusSetFsds;
using veltrim::InterpolatedKernelSource;
using veltrim::KernelSetSource;
namespace synthetic = veltrim::testing;

constexpr std::array<double, 6> kSets = {50, 60, 75, 100, 150, 250};
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(FocusKernels, AnFsdFallsBetweenItsNeighboursLinearlyInItsInverse) {
    const auto between = BracketFsd(kSets, 80.0);
    ASSERT_TRUE(between);
    EXPECT_EQ(between->NearFsd, 75.0);
    EXPECT_EQ(between->FarFsd, 100.0);
    // 1/80 = w/75 + (1 - w)/100 gives w = 0.75.
    EXPECT_NEAR(between->NearWeight, 0.75, 1e-14);

    for (const double fsd : {50.0, 100.0}) { // the smallest set and one inside
        const auto exact = BracketFsd(kSets, fsd);
        ASSERT_TRUE(exact) << fsd;
        EXPECT_EQ(exact->NearFsd, fsd);
        EXPECT_EQ(exact->NearWeight, 1.0) << fsd;
    }

    // Beyond the largest set the parallel set is the far one (1/FSD = 0).
    const auto beyond = BracketFsd(kSets, 400.0);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->NearFsd, 250.0);
    EXPECT_EQ(beyond->FarFsd, kInfinity);
    EXPECT_NEAR(beyond->NearWeight, 250.0 / 400.0, 1e-15);
    EXPECT_EQ(BracketFsd(kSets, kInfinity)->NearWeight, 0.0);
}

TEST(FocusKernels, NothingBelowTheSmallestSetOrForAnFsdThatIsNotOne) {
    for (const double fsd : {49.99, 0.0, -100.0, std::nan("")})
        EXPECT_FALSE(BracketFsd(kSets, fsd)) << fsd;
    EXPECT_FALSE(BracketFsd({}, 100.0));
}

TEST(FocusKernels, KernelsAreMixedCellByCellAndAWholeShareGivesTheSetItself) {
    const auto near = synthetic::SyntheticKernels();
    const auto far = synthetic::SyntheticKernels(
        [](int e, int a, int c) { return 3.0 * synthetic::SyntheticKernel(e, a, c) + 1e-6; });
    KernelSetSource nearSource(*near);
    KernelSetSource farSource(*far);

    InterpolatedKernelSource quarter(nearSource, farSource, 0.25);
    for (int e : {10, 80, 150}) {
        const auto& mixed = quarter.Kernel(e);
        for (std::size_t c : {1u, 40u, 80u})
            for (std::size_t a : {1u, 30u, 80u})
                EXPECT_NEAR(mixed[c][a], 0.25 * near->Kernel(e)[c][a] + 0.75 * far->Kernel(e)[c][a],
                            1e-15 * far->Kernel(e)[c][a])
                    << e << " keV, ring " << c << ", row " << a;
    }

    // A tabulated FSD takes its own set to the last bit, so the depth dose over it is the set's.
    InterpolatedKernelSource whole(nearSource, farSource, 1.0);
    for (int e = 10; e <= 150; e += 5)
        EXPECT_TRUE(whole.Kernel(e) == near->Kernel(e)) << e << " keV";
}

// A medium has sets at FSDs of its own: its folder says which, rising,
// whatever else lies beside them; a folder without any gives the
// four-component tissue's list, so that the missing file is what is named.
TEST(FocusKernels, TheSetsAreTheWholeNumberedFoldersOfTheMediumsOwn) {
    const veltrim::testing::TempFolder folder;
    for (const char* name : {"150/10.dat", "50/10.dat", "75/10.dat", "075/10.dat", "x12/10.dat",
                             "README.md", "runs.csv"})
        folder.Write(std::string("PDS-focus/") + name, "1\n");
    EXPECT_EQ(FocusSetFsds(folder.Path()), (std::vector<double>{50, 75, 150}));
    EXPECT_EQ(
        FocusSetFsds(folder / "nothing-here"),
        std::vector<double>(veltrim::FocusKernelFsds.begin(), veltrim::FocusKernelFsds.end()));
}

} // namespace
