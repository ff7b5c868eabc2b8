#include "dose/TissueTables.h"

#include "calculation/SharedState.h"
#include "common/TempFolder.h"
#include "dose/SyntheticData.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using veltrim::testing::TempFolder;

// Primary.dat whose node j (5j keV) holds the factor `factor(j)`; the first
// number of each record deliberately disagrees with the node energy.
std::string PrimaryText(double (*factor)(int), int records = 29) {
    std::string text;
    for (int n = 1; n <= records; ++n) {
        const int j = n + 1;
        text += std::to_string(999 - n) + ", " + std::to_string(factor(j)) + "\n";
    }
    return text;
}

double SteepFactor(int j) {
    return 100.0 / (j * j * j) + 0.25 * j;
}

struct TissueFixture {
    TempFolder dir;
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink, dir.Path(), dir.Path()};

    TissueFixture() {
        dir.Write("ICRUSoft.dat", veltrim::testing::SyntheticTissueText());
        dir.Write("Primary.dat", PrimaryText(SteepFactor));
    }
};

TEST(TissueTables, PrimaryDoseFactorIsLogInterpolatedBetweenNodes) {
    TissueFixture f;
    ASSERT_TRUE(f.state.LoadTissueTables());
    const auto& table = f.state.Tissue.PrimaryDose;
    const auto P = [](int keV) { return std::stod(std::to_string(SteepFactor(keV / 5))); };
    // 10.5 keV lies 4.5 keV below the 15-keV node.
    EXPECT_DOUBLE_EQ(table[21],
                     std::exp(std::log(P(15)) - (std::log(P(15)) - std::log(P(10))) * 4.5 / 5));
    EXPECT_DOUBLE_EQ(table[30], P(15));
    EXPECT_DOUBLE_EQ(table[200], P(100));
    EXPECT_DOUBLE_EQ(table[299],
                     std::exp(std::log(P(150)) - (std::log(P(150)) - std::log(P(145))) * 0.5 / 5));
    EXPECT_EQ(table[300], P(150)); // taken over, not interpolated
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(table[i], 0.0) << "bin " << i;
    // Log interpolation: the geometric mean halfway between two nodes.
    EXPECT_NEAR(table[205], std::sqrt(P(100) * P(105)), 1e-13 * P(100));
}

TEST(TissueTables, EnergiesAreReadInMeVAndExtraNumbersIgnored) {
    TissueFixture f;
    f.dir.Write("ICRUSoft.dat", "2, 12345\n0.01, 1, 2, 3\n0.2, 4, 5, 6\n7, 7, 7\n");
    f.dir.Write("Primary.dat", PrimaryText(SteepFactor, 35));
    ASSERT_TRUE(f.state.LoadTissueTables());
    EXPECT_EQ(f.state.Tissue.RowCount, 2);
    EXPECT_EQ(f.state.Tissue.Rows[1].EnergyKeV, 10.0);
    EXPECT_EQ(f.state.Tissue.Rows[1].MuPart1, 1.0);
    EXPECT_EQ(f.state.Tissue.Rows[1].MuPart3, 3.0);
    EXPECT_EQ(f.state.Tissue.Rows[2].EnergyKeV, 200.0);
    EXPECT_EQ(f.state.Tissue.Rows[2].MuPart2, 5.0);
    EXPECT_EQ(f.state.Tissue.PrimaryDoseNodes[30], 7.503704); // the 29th record, as written
}

// Broken and missing tissue files: the hardening tests break each number of them.

} // namespace

namespace {

// A file that fails part-way must not leave its first rows in the tables in
// use: the broken files here differ from the good ones from their first row on.
TEST(TissueTables, AFileThatFailsPartWayLeavesTheTablesInUseAsTheyWere) {
    TissueFixture f;
    ASSERT_TRUE(f.state.LoadTissueTables());
    const auto tissue = f.state.Tissue.Rows;
    const auto nodes = f.state.Tissue.PrimaryDoseNodes;
    const auto table = f.state.Tissue.PrimaryDose;

    std::string scaledTissue = veltrim::testing::SyntheticTissueText();
    const auto firstRow = scaledTissue.find('\n', scaledTissue.find('\n') + 1);
    scaledTissue = "3\n1\n0.010,9,9,9\n0.020,8,8,8\n" + scaledTissue.substr(firstRow + 1, 10);
    f.dir.Write("ICRUSoft.dat", scaledTissue);
    EXPECT_FALSE(f.state.LoadTissueTables());

    f.dir.Write("ICRUSoft.dat", veltrim::testing::SyntheticTissueText());
    f.dir.Write("Primary.dat", PrimaryText([](int j) { return 7.0 * j; }, 20));
    EXPECT_FALSE(f.state.LoadTissueTables());

    EXPECT_EQ(f.state.Tissue.Rows, tissue);
    EXPECT_EQ(f.state.Tissue.PrimaryDoseNodes, nodes);
    EXPECT_EQ(f.state.Tissue.PrimaryDose, table);
}

} // namespace
