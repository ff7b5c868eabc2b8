#include "readout/DepthCursor.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using namespace veltrim;

TEST(InsidePlotArea, TheAreaIsOpenOnAllFourEdges) {
    EXPECT_TRUE(InsidePlotArea(450.0f, 455.0f, 30.0));
    EXPECT_TRUE(InsidePlotArea(0.01f, 110.01f, 30.0));
    EXPECT_TRUE(InsidePlotArea(899.99f, 799.99f, 30.0));
    for (const auto& [x, y] :
         {std::pair{0.0f, 455.0f}, std::pair{900.0f, 455.0f}, std::pair{450.0f, 110.0f},
          std::pair{450.0f, 800.0f}, std::pair{-50.0f, 455.0f}, std::pair{450.0f, 900.0f}})
        EXPECT_FALSE(InsidePlotArea(x, y, 30.0)) << x << ", " << y;
    // The right edge follows the depth of the chart.
    EXPECT_FALSE(InsidePlotArea(600.0f, 455.0f, 20.0));
}

TEST(RowUnderPointer, EachSlabEndsAtItsDeepEdge) {
    const std::pair<float, int> cases[] = {{0.001f, 1}, {15.0f, 1},   {15.01f, 2},   {30.0f, 2},
                                           {30.01f, 3}, {885.0f, 59}, {885.01f, 60}, {899.99f, 60}};
    for (const auto& [x, row] : cases)
        EXPECT_EQ(RowUnderPointer(x), row) << x;
    // Far outside the chart the count stops at the table's end.
    EXPECT_EQ(RowUnderPointer(1e30f), DepthRowCapacity);
}

TEST(CursorLevelY, LevelsBelowATenthOfAPercentStandOnTheBottomEdge) {
    EXPECT_NEAR(CursorLevelY(100.0), 109.22, 0.01); // just above the frame: no limit at the top
    EXPECT_EQ(CursorLevelY(0.1), 800.0);
    EXPECT_EQ(CursorLevelY(0.05), 800.0);
    EXPECT_LT(CursorLevelY(0.11), 800.0);
    for (const double nowhere : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(CursorLevelY(nowhere), 800.0) << nowhere;
}

DepthDoseTable SampleTable() {
    DepthDoseTable table{};
    for (int row = 1; row <= 60; ++row) {
        table[row][PrimaryPdd] = 80.0 * std::exp(-0.2 * row);
        table[row][ScatterPdd] = 20.0 * std::exp(-0.1 * row);
        table[row][TotalPdd] = table[row][PrimaryPdd] + table[row][ScatterPdd];
    }
    table[1][TotalPdd] = 100.0;
    table[60][ScatterPdd] = 0.05;
    return table;
}

TEST(PlaceCursorOnRow, LastRowWithAValueBelowTheAxisShowsItOnTheBottomEdge) {
    const DepthDoseTable table = SampleTable();
    const CursorPlacement last = PlaceCursorOnRow(table, 60, PointerPercentPattern);
    EXPECT_EQ(last.DepthX, 893.0);
    EXPECT_EQ(last.ShallowDepth, "29.5");
    EXPECT_EQ(last.DeepDepth, "30.0");
    EXPECT_EQ(last.ScatterY, 800.0);
    EXPECT_EQ(last.Scatter, "0.05 %");
    EXPECT_EQ(last.Primary, "0.00 %");
    EXPECT_EQ(last.PrimaryY, 800.0);
    EXPECT_EQ(PlaceCursorOnRow(table, 60, KeyPercentPattern).Scatter, "0.05%");
}

} // namespace
