#include "graph/GraphDrawing.h"

#include "common/GraphProbe.h"
#include "common/GuiHelpers.h"
#include "graph/Colours.h"
#include "graph/GraphMapping.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace {

using namespace veltrim;
using namespace veltrim::testing;

// A table that falls by e^-0.15 per row: the total from 100 %, the primary at
// 70 % and the scatter at 30 % of it.
DepthDoseTable FallingTable(double scale = 1.0) {
    DepthDoseTable table{};
    for (int r = 1; r <= 60; ++r) {
        const double total = scale * 100.0 * std::exp(-0.15 * (r - 1));
        table[r][PrimaryPdd] = 0.7 * total;
        table[r][ScatterPdd] = 0.3 * total;
        table[r][TotalPdd] = total;
    }
    return table;
}

TEST(GraphFrame, GridReferenceLinesAndOutlineWhereTheDesignPutsThem) {
    const QImage image = EmptyChart();
    ASSERT_EQ(image.size(), QSize(557, 557));
    // Vertical lines, met between the horizontal ones, then horizontal lines.
    for (double y : {200.0, 455.0, 700.0}) {
        for (double x : {30.0, 870.0})
            EXPECT_TRUE(ColourNear(image, {x, y}, colours::LightGrey)) << x << "," << y;
        for (double x : {0.0, 150.0, 450.0, 750.0, 900.0})
            EXPECT_TRUE(ColourNear(image, {x, y}, colours::Black)) << x << "," << y;
    }
    for (double x : {100.0, 520.0, 880.0}) {
        for (double pdd : {2.0, 50.0, 0.3})
            EXPECT_TRUE(ColourNear(image, {x, PddToY(pdd)}, colours::LightGrey)) << x << "," << pdd;
        for (double y : {110.0, 340.0, 570.0, 800.0})
            EXPECT_TRUE(ColourNear(image, {x, y}, colours::Black)) << x << "," << y;
    }
    // Inside a grid cell and outside the frame: nothing but white.
    for (QPointF blank : {QPointF(45, PddToY(2.5)), QPointF(465, PddToY(25.0)), QPointF(-130, 650),
                          QPointF(930, 450), QPointF(450, 95)})
        EXPECT_FALSE(ColourNear(image, blank, colours::Black, 2) ||
                     ColourNear(image, blank, colours::LightGrey, 2))
            << blank.x() << "," << blank.y();
}

TEST(GraphFrame, LabelsArePrintedAtTheirPlacesAndNowhereElse) {
    const QImage image = EmptyChart();
    // The axis title's text begins at (480, 840); "PDD" at (-120, 180).
    EXPECT_GT(CountColour(image, {480, 840}, {780, 875}, colours::Black), 60);
    EXPECT_GT(CountColour(image, {-120, 180}, {-60, 210}, colours::Black), 15);
    EXPECT_GT(CountColour(image, {-80, 100}, {-20, 130}, colours::Black), 10); // "100"
    // Below the frame between the "0" and "10" ticks, and left of the frame
    // between the "10" and "1" ticks, there is no text.
    EXPECT_EQ(CountColour(image, {60, 806}, {260, 870}, colours::Black), 0);
    EXPECT_EQ(CountColour(image, {-140, 400}, {-10, 540}, colours::Black), 0);
    // No legend before a calculation.
    EXPECT_EQ(CountColour(image, {0, 880}, {950, 990}, colours::Black), 0);
}

TEST(GraphCurves, ThreeCurvesInTheirColoursAlongTheRows) {
    const DepthDoseTable table = FallingTable();
    const QImage image = ChartWith({table});
    for (int row : {1, 8, 15, 30}) {
        EXPECT_TRUE(ColourNear(image, RowPoint(table, row, PrimaryPdd), colours::Red)) << row;
        EXPECT_TRUE(ColourNear(image, RowPoint(table, row, ScatterPdd), colours::Blue)) << row;
        EXPECT_TRUE(ColourNear(image, RowPoint(table, row, TotalPdd), colours::Black)) << row;
    }
    // Between two rows the curve is a straight line in graph units.
    const QPointF a = RowPoint(table, 10, PrimaryPdd);
    const QPointF b = RowPoint(table, 11, PrimaryPdd);
    EXPECT_TRUE(ColourNear(image, (a + b) / 2, colours::Red));
    // The legend: three sample lines and their texts.
    EXPECT_TRUE(ColourNear(image, {70, 900}, colours::Black));
    EXPECT_TRUE(ColourNear(image, {70, 935}, colours::Red));
    EXPECT_TRUE(ColourNear(image, {70, 970}, colours::Blue));
    EXPECT_GT(CountColour(image, {140, 880}, {400, 905}, colours::Black), 60);
    EXPECT_GT(CountColour(image, {140, 950}, {400, 975}, colours::Black), 60);
}

TEST(GraphCurves, ThePictureHoldsOnlyTheChartsFiveColours) {
    const std::set<QRgb> chart{colours::White, colours::Black, colours::LightGrey, colours::Red,
                               colours::Blue};
    EXPECT_EQ(ColoursOf(ChartWith({FallingTable()})), chart);
}

TEST(GraphCurves, RowsBelowPointOnePercentAreJoinedOverOrEndTheCurve) {
    DepthDoseTable table = FallingTable();
    table[20][PrimaryPdd] = 0.05; // one low row between rows on the chart
    for (int r = 40; r <= 60; ++r)
        table[r][ScatterPdd] = 0.05; // the scatter leaves the chart for good
    const QImage image = ChartWith({table});

    const QPointF before = RowPoint(table, 19, PrimaryPdd);
    const QPointF after = RowPoint(table, 21, PrimaryPdd);
    EXPECT_TRUE(ColourNear(image, (before + after) / 2, colours::Red));
    // No line runs down to the low value or to the frame's bottom edge.
    EXPECT_EQ(CountColour(image, {0, 806}, {900, 990}, colours::Red) -
                  CountColour(image, {10, 925}, {130, 945}, colours::Red),
              0);
    EXPECT_TRUE(ColourNear(image, RowPoint(table, 39, ScatterPdd), colours::Blue));
    EXPECT_EQ(CountColour(image, {RowToX(39) + 6, 110}, {900, 800}, colours::Blue), 0);
}

TEST(GraphCurves, NoRowBeyondSixtyOrBeyondTheDeepestDepth) {
    DepthDoseTable table = FallingTable();
    for (int r = 61; r < DepthRowCapacity; ++r)
        table[r] = {0.0, 50.0, 50.0, 50.0};
    QImage image = EmptyChart();
    const QImage empty = image;
    PlotDepthDose(image, table, 40.0); // 80 rows by depth, still 60 at most
    // Right of the frame's outline nothing changes.
    const QRect margin(PixelOf({904, 90}), PixelOf({949, 800}));
    EXPECT_EQ(image.copy(margin), empty.copy(margin));

    QImage shallow = EmptyChart();
    PlotDepthDose(shallow, FallingTable(), 10.0); // rows 1..20
    EXPECT_TRUE(ColourNear(shallow, RowPoint(table, 20, PrimaryPdd), colours::Red));
    EXPECT_EQ(CountColour(shallow, {RowToX(20) + 6, 110}, {900, 800}, colours::Red), 0);
}

TEST(GraphCurves, AColumnWithoutAPositiveFirstRowDrawsNoCurve) {
    DepthDoseTable table = FallingTable();
    table[1][PrimaryPdd] = 0.0;
    table[1][ScatterPdd] = -3.0;
    table[1][TotalPdd] = std::numeric_limits<double>::quiet_NaN();
    // Before any calculation the table is all zero.
    EXPECT_EQ(ChartWith({table}), ChartWith({DepthDoseTable{}}));

    // Infinite and NaN rows further down are skipped like rows off the chart.
    table = FallingTable();
    table[5][TotalPdd] = std::numeric_limits<double>::infinity();
    table[6][TotalPdd] = std::numeric_limits<double>::quiet_NaN();
    const QImage image = ChartWith({table});
    const QPointF four = RowPoint(table, 4, TotalPdd);
    const QPointF seven = RowPoint(table, 7, TotalPdd);
    EXPECT_TRUE(ColourNear(image, (four + seven) / 2, colours::Black));
}

TEST(GraphCurves, SuccessiveCalculationsAccumulateUnderOneLegend) {
    QImage image = EmptyChart();
    const DepthDoseTable first = FallingTable();
    const DepthDoseTable second = FallingTable(0.5);
    PlotDepthDose(image, first, 30.0);
    QImage once = image;
    PlotDepthDose(image, second, 30.0);
    for (int row : {10, 25}) {
        EXPECT_TRUE(ColourNear(image, RowPoint(first, row, ScatterPdd), colours::Blue)) << row;
        EXPECT_TRUE(ColourNear(image, RowPoint(second, row, ScatterPdd), colours::Blue)) << row;
    }
    const QRect legend(PixelOf({0, 880}), PixelOf({500, 990}));
    EXPECT_EQ(image.copy(legend), once.copy(legend));
}

} // namespace
